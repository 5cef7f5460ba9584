// The yardstick of the start-up benchmark: a minimal Qt program that shows
// one empty window of the editor's size.
#include <QApplication>
#include <QWidget>

#include "firstexpose.h"

int main(int argc, char *argv[])
{
    FirstExpose<QApplication> app(argc, argv);
    QWidget window;
    window.resize(480, 543);
    window.show();
    return app.exec();
}
