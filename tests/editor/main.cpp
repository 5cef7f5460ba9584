// Editor tests run the real window offscreen.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

#include "dialogs.h"

int main(int argc, char **argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(ApplicationTitle));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
