// The real window, offscreen, with the dialogs answered in advance, a copy
// of the demo ROM in a temporary folder and helpers to drive the window as a
// user does.
#pragma once

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <deque>
#include <memory>

#include "dialogs.h"
#include "fakedialogs.h"
#include "picturebox.h"
#include "hexcode.h"
#include "tform1.h"

class EditorTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    FakeDialogs dialogs;
    std::unique_ptr<TForm1> form;
    QString romPath;

    // The demo ROM copied into the temporary folder.
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        romPath = dir.filePath(QStringLiteral("demo.nes"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(WMB_DEMO_ROM), romPath));
        QFile::setPermissions(romPath, QFile::ReadOwner | QFile::WriteOwner);
    }

    // Starts the window in the temporary folder. Without a "graph" folder
    // there it uses the shipped tile set.
    void start()
    {
        form = std::make_unique<TForm1>(dialogs, StartupPaths{dir.path(), QStringLiteral(WMB_BIN_DIR)});
    }

    // Copies the shipped tile set into <dir>/graph, the user's own set.
    QString copyTileSet()
    {
        QDir(dir.path()).mkpath(QStringLiteral("graph"));
        const QDir shipped(QStringLiteral(WMB_TILE_DIR));
        for (const QString &name : shipped.entryList({QStringLiteral("*.bmp")}, QDir::Files))
            QFile::copy(shipped.filePath(name), dir.filePath(QStringLiteral("graph/") + name));
        return dir.filePath(QStringLiteral("graph"));
    }

    static void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, 5)); }

    // Runs the event loop until `done` holds, for at most `ms` milliseconds.
    template <class F> static bool within(int ms, F done)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return done();
    }

    // Chooses the File menu's command named `text` (mnemonics left out).
    static void fileCommand(TForm1 &window, const QString &text)
    {
        for (QAction *action : window.FileMenu->actions()) {
            if (action->text().remove(QLatin1Char('&')) == text) {
                action->trigger();
                return;
            }
        }
        ADD_FAILURE() << "no File menu command " << text.toStdString();
    }

    // Open ROM answered with `path`.
    void openRom(const QString &path)
    {
        dialogs.fileAnswers.push_back(path);
        click(form->Button2);
    }
    void openRom() { openRom(romPath); }

    void loadLevel(int level)
    {
        form->Edit1->setText(QString::number(level));
        click(form->Button1);
    }

    QByteArray romBytes() const
    {
        QFile f(romPath);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
    void writeRom(const QByteArray &bytes) const
    {
        QFile f(romPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    static QImage imageOf(const PictureBox *box) { return box->picture().toImage(); }

    // The shipped picture of a tile code, as the window shows it.
    static QImage tileImage(const QString &code)
    {
        TilePictures tiles(QStringLiteral(WMB_TILE_DIR));
        return tiles.load(static_cast<int>(wmb::HexTextToInt(code.toStdString()))).toImage();
    }
};
