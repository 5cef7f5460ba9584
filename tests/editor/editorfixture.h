// The real window, offscreen, with the dialogs answered in advance, a copy
// of the demo ROM in a temporary folder and helpers to drive the window as a
// user does.
#pragma once

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <vector>

#include "datafolder.h"
#include "dialogs.h"
#include "fakedialogs.h"
#include "leveloverview.h"
#include "mapview.h"
#include "picturebox.h"
#include "hexcode.h"
#include "imagecomparison.h"
#include "tform1.h"

// The window as a user meets it: what they do (clicks, picks, typing) and
// what they see (codes, pictures, texts, frames). Tests reach the window
// through these operations, so that a change in how the window builds its
// controls changes this class alone.
class WindowDriver {
public:
    std::unique_ptr<TForm1> form;

    // The level's boxes: the level number (Edit1), name (Edit2), author
    // (Edit3), hint (Edit4) and timer (Edit5).
    enum Box { NumberBox = 1, NameBox, AuthorBox, HintBox, TimerBox };

    // A control by the name the layout gives it ("Button5", "Red", "Edit2").
    template <class W = QWidget> W *control(const QString &name) const
    {
        W *w = form->findChild<W *>(name);
        EXPECT_NE(w, nullptr) << "no control " << name.toStdString();
        return w;
    }
    QLineEdit *box(Box b) const { return lookup().boxes[b - 1]; }
    QWidget *panel() const { return lookup().panel; }
    // A menu of the menu bar by its title, and a command by its text
    // (mnemonics left out).
    QMenu *menu(const QString &title) const
    {
        for (QAction *a : control<QMenuBar>(QStringLiteral("MenuBar"))->actions())
            if (a->menu() && a->text().remove(QLatin1Char('&')) == title)
                return a->menu();
        ADD_FAILURE() << "no menu " << title.toStdString();
        return nullptr;
    }
    QAction *command(const QString &menuTitle, const QString &text) const
    {
        for (QAction *a : menu(menuTitle)->actions())
            if (a->text().remove(QLatin1Char('&')) == text)
                return a;
        return nullptr;
    }

    // What a user does.
    static void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, 5)); }
    void clickButton(const QString &name) { click(control(name)); }
    void save() { clickButton(QStringLiteral("Button5")); }
    void reload() { clickButton(QStringLiteral("Button1")); }
    void clearScreen() { clickButton(QStringLiteral("Button10")); }
    // The palette picture of tile 0..255, and map cell n, clicked.
    void pickTile(int code) { clickIn(paletteView(), code + 1); }
    void clickCell(int n) { clickIn(mapView(), n); }
    static void clickIn(TileView *view, int n)
    {
        QTest::mouseClick(view, Qt::LeftButton, {}, view->localRect(n).topLeft() + QPoint(5, 5));
    }
    void setActiveSelect(bool on) { control<QCheckBox>(QStringLiteral("CheckBox1"))->setChecked(on); }
    // Replaces a box's text at once, as a paste over all of it does.
    void setField(Box b, const QString &text) { box(b)->setText(text); }
    void typeInto(Box b, const QString &text) { type(box(b), text); }
    void pressKey(Box b, Qt::Key key) { press(box(b), key); }
    void clearByKeys(Box b) { clearByKeys(box(b)); }
    // Types text as key presses with their characters (any Unicode
    // character), through the boxes' key filters.
    static void type(QWidget *w, const QString &text)
    {
        for (const QChar ch : text) {
            const int key = ch.isLetterOrNumber() && ch.unicode() < 0x80 ? ch.toUpper().unicode() : 0;
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(ch));
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(w, &press);
            QApplication::sendEvent(w, &release);
        }
    }
    static void press(QWidget *w, Qt::Key key) { QTest::keyClick(w, key); }
    // Empties a box with the keys a user has: Home, then Delete.
    static void clearByKeys(QLineEdit *e)
    {
        press(e, Qt::Key_End);
        for (int i = e->text().size(); i > 0; --i) {
            press(e, Qt::Key_Home);
            press(e, Qt::Key_Delete);
        }
    }
    // The level overview, shown.
    LevelOverview *overview()
    {
        command(QStringLiteral("Level"), QStringLiteral("Level overview"))->trigger();
        return form->findChild<LevelOverview *>();
    }
    // Level n chosen in the level overview.
    void openFromOverview(int n) { emit overview()->openRequested(n); }
    // An image opened as the command line opens it.
    void openFromCommandLine(const QString &path, int level) { form->openRomImage(path, level); }
    // The window follows the open image on the disk now, as its watch does
    // after a pause; watchSawChange() tells whether the watch noticed.
    void followDisk() { form->document().followImageFile(); }
    bool watchSawChange() const { return form->document().imageChangePending(); }
    // The Edit menu's Undo and Redo, under whatever name they have now.
    void undoCommand() { menu(QStringLiteral("Edit"))->actions().at(0)->trigger(); }
    void redoCommand() { menu(QStringLiteral("Edit"))->actions().at(1)->trigger(); }
    void selectCells(const wmb::CellRect &rect) { form->document().select(rect); }
    // The widget that holds the keyboard focus for the map.
    QWidget *mapFocus() const { return mapView(); }
    // The cells of the shown level outlined as holding the tile found, and as
    // differing from the image compared with; that image read again now, as
    // its watch does after a pause.
    std::vector<int> foundCells() const { return form->session().foundCells(); }
    std::vector<int> differingCells() const { return form->session().differingCells(); }
    void followComparedImage() { form->session().comparison()->follow(); }
    QString statusText(const QString &part) const { return control<QLabel>(part)->text(); }

    // What the window shows.
    QString title() const { return form->windowTitle(); }
    QString field(Box b) const { return box(b)->text(); }
    // The texts of the boxes in the order of Edit1, Edit5, Edit2, Edit3, Edit4.
    QStringList fields() const
    {
        return {field(NumberBox), field(TimerBox), field(NameBox), field(AuthorBox), field(HintBox)};
    }
    // The map store's text of map cell 1..168.
    QString shownCode(int n) const
    {
        const QTableWidgetItem *item = lookup().store->item(0, n - 1);
        return item ? item->text() : QString();
    }
    QStringList shownCodes() const
    {
        QStringList codes;
        for (int n = 1; n <= wmb::MapCells; ++n)
            codes << shownCode(n);
        return codes;
    }
    QImage cellPicture(int n) const { return mapView()->cellPicture(n).toImage(); }
    // The picture cell n shows; copies of one picture share its cache key.
    QPixmap cellPixmap(int n) const { return mapView()->cellPicture(n); }
    std::vector<QImage> cellPictures() const
    {
        std::vector<QImage> pictures;
        for (int n = 1; n <= wmb::MapCells; ++n)
            pictures.push_back(cellPicture(n));
        return pictures;
    }
    QImage paletteImage(int code) const { return paletteView()->cellPicture(code + 1).toImage(); }
    // Places on the panel: of map cell n and of the palette picture of a tile.
    QRect cellRect(int n) const { return mapView()->cellRect(n); }
    QRect paletteRect(int code) const { return paletteView()->cellRect(code + 1); }
    // The centre of map cell n in the window's coordinates.
    QPoint cellCentre(int n) const { return panel()->mapTo(form.get(), cellRect(n).center()); }
    // The frames: red around the selected cell, green around the picked tile.
    QPoint redFrame() const { return control(QStringLiteral("Red"))->pos(); }
    QPoint greenFrame() const { return control(QStringLiteral("Green"))->pos(); }
    static QImage imageOf(const PictureBox *box) { return box->picture().toImage(); }
    QImage pictureOf(const QString &name) const { return imageOf(control<PictureBox>(name)); }
    bool checked(const QString &name) const { return control<QAbstractButton>(name)->isChecked(); }

    // The editor's state.
    int pickedPicture() const { return form->session().SelectedTile; }   // palette picture 1..256, 0 for none
    QString pickedCode() const { return form->session().SelectedTileCode; }
    int selectedCell() const { return form->session().SelectedCell; }
    wmb::CellRect selection() const { return form->document().selection(); }
    int loadedLevel() const { return form->document().loadedLevel(); }
    int levelBase() const { return form->document().levelBase(); }
    bool hasUnsavedChanges() const { return form->document().wouldChangeRecord(); }
    bool imageOpen() const { return form->document().hasImage(); }
    std::string imagePath() const { return form->document().imagePath(); }
    EditorSettings &settings() const { return form->settings(); }
    QString startDirectory() const { return form->startDirectory(); }
    QStringList tileCodes() const { return form->tileCodes(); }

    // The views of the map's cells and of the palette's pictures.
    MapView *mapView() const { return lookup().map; }
    PaletteView *paletteView() const { return lookup().palette; }

private:
    // The controls looked up often, found by name once per window.
    struct Lookup {
        QPointer<TForm1> window;
        MapView *map = nullptr;
        PaletteView *palette = nullptr;
        std::array<QLineEdit *, 5> boxes{};
        QWidget *panel = nullptr;
        QTableWidget *store = nullptr;
    };
    mutable Lookup mLookup;
    const Lookup &lookup() const
    {
        if (mLookup.window != form.get()) {
            Lookup c;
            c.window = form.get();
            c.map = control<MapView>(QStringLiteral("MapView"));
            c.palette = control<PaletteView>(QStringLiteral("PaletteView"));
            for (int b = 1; b <= 5; ++b)
                c.boxes[static_cast<std::size_t>(b - 1)] = control<QLineEdit>(QStringLiteral("Edit%1").arg(b));
            c.panel = control(QStringLiteral("Panel1"));
            c.store = control<QTableWidget>(QStringLiteral("StringGrid1"));
            mLookup = c;
        }
        return mLookup;
    }
};

class EditorTest : public ::testing::Test, public WindowDriver {
protected:
    QTemporaryDir dir;
    QTemporaryDir dataHome;   // the editor's data folder, apart from the image's
    FakeDialogs dialogs;
    QString romPath;

    // The demo ROM copied into the temporary folder.
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        romPath = dir.filePath(QStringLiteral("demo.nes"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(WMB_DEMO_ROM), romPath));
        QFile::setPermissions(romPath, QFile::ReadOwner | QFile::WriteOwner);
        EditorSettings().setZoom(100);   // kept between windows: each test starts at 100 %
        // The data folder (recovery files) is the test's own; Windows has
        // one for the user, emptied before each test.
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
#ifdef Q_OS_WIN
        QDir(dataFolder() + QStringLiteral("/recovery")).removeRecursively();
#endif
    }

    // The recovery files of the editors of this test, running or ended.
    QStringList recoveryFiles() const
    {
        QStringList files;
        const QDir root(dataFolder() + QStringLiteral("/recovery"));
        for (const QString &folder : root.entryList({QStringLiteral("editor-*")}, QDir::Dirs))
            if (QFile::exists(root.filePath(folder + QStringLiteral("/level.wmbrecovery"))))
                files << root.filePath(folder + QStringLiteral("/level.wmbrecovery"));
        return files;
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
    void fileCommand(const QString &text)
    {
        if (QAction *action = command(QStringLiteral("File"), text))
            action->trigger();
        else
            ADD_FAILURE() << "no File menu command " << text.toStdString();
    }

    // Open ROM answered with `path`.
    void openRom(const QString &path)
    {
        dialogs.fileAnswers.push_back(path);
        clickButton(QStringLiteral("Button2"));
    }
    void openRom() { openRom(romPath); }

    void loadLevel(int level)
    {
        setField(NumberBox, QString::number(level));
        reload();
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

    // The shipped picture of a tile code, as the window shows it.
    static QImage tileImage(const QString &code)
    {
        TilePictures tiles(QStringLiteral(WMB_TILE_DIR));
        return tiles.load(static_cast<int>(wmb::HexTextToInt(code.toStdString()))).toImage();
    }
};
