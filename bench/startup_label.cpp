// A second yardstick for the start-up benchmark: the bare window with one
// line of text, which is enough to start the font system (fontconfig) that
// any window showing text pays for.
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include "firstexpose.h"

int main(int argc, char *argv[])
{
    FirstExpose<QApplication> app(argc, argv);
    QWidget window;
    window.resize(480, 543);
    auto *label = new QLabel(QStringLiteral("Level Name:"), &window);
    label->move(8, 444);
    window.show();
    return app.exec();
}
