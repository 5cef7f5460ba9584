// The window as it opens: every control where the layout puts it, with its
// texts and state, start-up with complete, partial and damaged tile sets,
// and with odd settings.
#include <QBuffer>
#include <QCheckBox>
#include <QIcon>
#include <QLabel>
#include <QSettings>
#include <QStyle>
#include <QStyleOptionButton>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

#include "bmpimage.h"
#include "guardedapplication.h"
#include "leveltext.h"
#include "settings.h"
#include "windowsupport.h"

namespace {

struct ControlRow {
    const char *name;
    QRect geometry;
    const char *text;
    const char *tip;
    bool enabled;
};

const ControlRow controls[] = {
    {"Button2", {7, 408, 77, 25}, "Open ROM", "Open ROM Wumblers.nes", true},
    {"Button1", {86, 408, 90, 25}, "Reload level", "Reload the current level", false},
    {"Button10", {178, 408, 75, 25}, "Clear screen", "Clear the current screen", true},
    {"Button5", {255, 408, 70, 25}, "Save level", "Save the current level to the ROM", false},
    {"Button27", {327, 408, 70, 25}, "Export level", "Export the current level to a file", false},
    {"Button28", {399, 408, 70, 25}, "Import level", "Import & Save the current level from a file", false},
    {"Button3", {8, 509, 30, 25}, "<", "", false},
    {"Button4", {80, 509, 30, 25}, ">", "", false},
    {"Button6", {115, 509, 30, 25}, "<", "", true},
    {"Button7", {187, 509, 30, 25}, ">", "", true},
    {"BitBtn1", {312, 509, 75, 25}, "&About...", "", true},
    {"Hidemenu", {389, 509, 80, 25}, " Open tiles >", "Open/hide tiles", true},
    {"Edit1", {41, 512, 36, 21}, "1", "", true},
    {"Edit5", {148, 512, 36, 21}, "100", "", true},
    {"Edit2", {80, 441, 169, 21}, "", nullptr, true},
    {"Edit3", {304, 441, 165, 21}, "", nullptr, true},
    {"Edit4", {80, 472, 389, 21}, "", nullptr, true},
    {"CheckBox1", {223, 492, 122, 17}, "Active select ",
     "Replacing a level tile when selecting a tile in the editor", true},
    {"CheckBox2", {223, 517, 89, 17}, "Show grid ", "Displaying the grid on the level screen", true},
    {"Black", {5000, 5000, 34, 34}, nullptr, "", true},
    {"Red", {-100, -100, 34, 34}, nullptr, "", true},
    {"Green", {-100, -100, 34, 34}, nullptr, "", true},
    {"StringGrid1", {456, 200, 33, 41}, nullptr, "", true},
};

// Labels keep left, top and height; their width follows the caption, which
// must end before the control to its right.
struct LabelRow {
    const char *name;
    QPoint at;
    const char *text;
    int rightLimit;
};
const LabelRow labels[] = {
    {"Label4", {8, 444}, "Level Name:", 80},   // Edit2
    {"Label2", {260, 444}, "Author:", 304},    // Edit3
    {"Label3", {8, 475}, "Level Hint:", 80},   // Edit4
    {"Label5", {24, 493}, "Level number:", 147},  // Label1
    {"Label1", {147, 493}, "Timer:", 223},     // CheckBox1
};

// The allowed characters of the level texts, the hint of the text edits.
QString allowedCharacters()
{
    return QString::fromStdString(wmb::levelTextHint());
}

class StartupTest : public WindowTest {
protected:
    QString graph(const QString &name) const { return dir.filePath(QStringLiteral("graph/") + name); }
    void writeGraph(const QString &name, const QByteArray &bytes) const
    {
        QFile f(graph(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    static QByteArray solidBmp(QRgb colour)
    {
        wmb::BmpImage image{32, 32, std::vector<std::uint32_t>(32 * 32, colour | 0xFF000000u)};
        const auto bytes = wmb::encodeBmp24(image);
        return QByteArray(reinterpret_cast<const char *>(bytes.data()), static_cast<int>(bytes.size()));
    }
    static bool isSolid(const QImage &image, QSize size, QRgb colour)
    {
        if (image.size() != size)
            return false;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if ((image.pixel(x, y) & 0xFFFFFF) != (colour & 0xFFFFFF))
                    return false;
        return true;
    }
};

} // namespace

TEST_F(StartupTest, ControlsSitWhereTheLayoutPutsThemWithTheirTextsAndState)
{
    start();
    const QString hint = allowedCharacters();
    for (const ControlRow &row : controls) {
        SCOPED_TRACE(row.name);
        auto *w = form->findChild<QWidget *>(QString::fromLatin1(row.name));
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->parentWidget(), panel());
        EXPECT_EQ(w->geometry(), row.geometry);
        if (row.text) {
            EXPECT_EQ(w->property("text").toString(), QString::fromUtf8(row.text));
        }
        EXPECT_EQ(w->toolTip(), row.tip ? QString::fromUtf8(row.tip) : hint);
        EXPECT_EQ(w->isEnabled(), row.enabled);
    }
    for (const LabelRow &row : labels) {
        SCOPED_TRACE(row.name);
        auto *l = form->findChild<QLabel *>(QString::fromLatin1(row.name));
        ASSERT_NE(l, nullptr);
        EXPECT_EQ(l->text(), QString::fromLatin1(row.text));
        EXPECT_EQ(l->pos(), row.at);
        EXPECT_EQ(l->height(), 13);
        EXPECT_GE(l->width(), l->fontMetrics().horizontalAdvance(l->text()));
        EXPECT_LE(l->geometry().right(), row.rightLimit - 4);
        EXPECT_TRUE(l->toolTip().isEmpty());
    }
    EXPECT_EQ(box(NumberBox)->maxLength(), 3);
    EXPECT_EQ(box(NameBox)->maxLength(), 15);
    EXPECT_EQ(box(AuthorBox)->maxLength(), 13);
    EXPECT_EQ(box(HintBox)->maxLength(), 55);
    EXPECT_EQ(box(TimerBox)->maxLength(), 4);
    EXPECT_FALSE(checked("CheckBox1"));
    EXPECT_TRUE(checked("CheckBox2"));
    EXPECT_TRUE(control("Hidemenu")->font().bold());
    EXPECT_FALSE(control("Button2")->font().bold());
    EXPECT_FALSE(control<QPushButton>("BitBtn1")->icon().isNull());
    EXPECT_EQ(control<QPushButton>("BitBtn1")->shortcut(), QKeySequence(QStringLiteral("Alt+A")));
}

TEST_F(StartupTest, CellsAndPalettePicturesFormTheirGrids)
{
    start();
    for (int n = 1; n <= rom::Cells; ++n) {
        const QRect expected(8 + 33 * ((n - 1) % 14), 8 + 33 * ((n - 1) / 14), 32, 32);
        EXPECT_EQ(cellRect(n), expected) << "Image" << n;
    }
    for (int n = 1; n <= 256; ++n) {
        const QRect expected(480 + 33 * ((n - 1) % 16), 8 + 33 * ((n - 1) / 16), 32, 32);
        EXPECT_EQ(paletteRect(n - 1), expected) << "Pic" << n;
    }
    // The hidden map store: 168 columns, one row, all texts empty.
    const auto *store = control<QTableWidget>("StringGrid1");
    EXPECT_FALSE(store->isVisibleTo(form.get()));
    EXPECT_EQ(store->columnCount(), 168);
    EXPECT_EQ(store->rowCount(), 1);
    for (int n = 1; n <= rom::Cells; ++n)
        EXPECT_TRUE(shownCode(n).isEmpty());
}

TEST_F(StartupTest, WindowIsCaptionedAndSizedToTheNarrowPanel)
{
    start();
    form->show();
    EXPECT_EQ(title(), QStringLiteral("WMBeditor"));
    // The window icon is the installed picture, pixel for pixel.
    setUpApplication();
    EXPECT_EQ(QApplication::windowIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_RGB32),
              QImage(QStringLiteral(WMB_SOURCE_DIR "/editor/resources/wmbeditor.png"))
                  .convertToFormat(QImage::Format_RGB32));
    // The menu bar lies above the panel, as a menu outside a client area.
    const int bar = control("MenuBar")->height();
    EXPECT_GT(bar, 0);
    // The status bar lies below it; the window grows by its height alone.
    const int status = control("StatusBar")->height();
    EXPECT_EQ(form->size(), QSize(480, bar + 543 + status));
    EXPECT_EQ(control("MenuBar")->geometry(), QRect(0, 0, 480, bar));
    EXPECT_EQ(panel()->geometry(), QRect(0, bar, 480, 543));
    EXPECT_EQ(control("StatusBar")->geometry(), QRect(0, bar + 543, 480, status));
    EXPECT_EQ(form->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly),
              (QList<QWidget *>{panel(), control("MenuBar"), control("StatusBar")}));
    EXPECT_EQ(pickedPicture(), 0);
    EXPECT_EQ(selectedCell(), 0);
    EXPECT_EQ(levelBase(), 0);
    EXPECT_EQ(startDirectory(), dir.path());
    EXPECT_FALSE(imageOpen());
}

// The two frames are solid 34 x 34 pictures and lie, with the grid
// backdrop, beneath every cell and palette picture.
TEST_F(StartupTest, FramesAreSolidAndLieBeneathEveryPicture)
{
    start();
    EXPECT_TRUE(isSolid(pictureOf("Red"), {34, 34}, qRgb(224, 32, 64)));
    EXPECT_TRUE(isSolid(pictureOf("Green"), {34, 34}, qRgb(224, 0, 128)));
    EXPECT_TRUE(pictureOf("Black").isNull());

    QList<QWidget *> stack;
    for (QObject *child : panel()->children())
        if (auto *w = qobject_cast<QWidget *>(child))
            stack << w;
    ASSERT_GE(stack.size(), 3);
    EXPECT_EQ(stack[0], control("Black"));
    EXPECT_EQ(stack[1], control("Red"));
    EXPECT_EQ(stack[2], control("Green"));

    // Placed one pixel up and left of a cell, a frame shows only as its border.
    openRom();
    clickCell(16);
    ASSERT_EQ(redFrame(), cellRect(16).topLeft() - QPoint(1, 1));
    const QImage shot = panel()->grab(control("Red")->geometry()).toImage();
    EXPECT_EQ(shot.pixel(0, 0) & 0xFFFFFF, qRgb(224, 32, 64) & 0xFFFFFF);
    EXPECT_EQ(shot.pixel(33, 33) & 0xFFFFFF, qRgb(224, 32, 64) & 0xFFFFFF);
    EXPECT_EQ(shot.copy(1, 1, 32, 32), cellPicture(16).convertToFormat(shot.format()));
}

TEST_F(StartupTest, TabOrderFollowsTheLayout)
{
    start();
    QList<QWidget *> expected;
    for (const char *name : {"Button2", "Button1", "Button3", "Edit1", "Button4", "StringGrid1", "Button10",
                             "Button5", "Button27", "Button28", "BitBtn1", "Edit2", "Edit3", "Edit4",
                             "CheckBox1", "Hidemenu", "Button6", "Edit5", "Button7", "CheckBox2"})
        expected << control(name);
    QList<QWidget *> chain;
    QWidget *w = control("Button2");
    do {
        if (expected.contains(w))
            chain << w;
        w = w->nextInFocusChain();
    } while (w != control("Button2") && chain.size() < 40);
    EXPECT_EQ(chain, expected);

    // Tab leaves the two number edits, past the disabled and hidden controls.
    showWindow();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_EQ(QApplication::focusWidget(), control("Button2")) << "the first control has the focus at start";
    const std::pair<QWidget *, QWidget *> steps[] = {{box(NumberBox), control("Button10")},
                                                     {box(TimerBox), control("Button7")}};
    for (auto [from, to] : steps) {
        from->setFocus();
        QTest::keyClick(from, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), to) << from->objectName().toStdString();
    }
}

// Every caption fits inside its button or check box with the window's font.
TEST_F(StartupTest, CaptionsFitTheirControls)
{
    start();
    for (QPushButton *b : panel()->findChildren<QPushButton *>()) {
        SCOPED_TRACE(b->objectName().toStdString());
        const QString caption = QString(b->text()).remove(QLatin1Char('&'));
        int needed = b->fontMetrics().horizontalAdvance(caption) + 6;
        if (!b->icon().isNull())
            needed += b->iconSize().width() + 4;
        EXPECT_LE(needed, b->width());
    }
    for (QCheckBox *c : {control<QCheckBox>("CheckBox1"), control<QCheckBox>("CheckBox2")}) {
        SCOPED_TRACE(c->objectName().toStdString());
        QStyleOptionButton option;
        option.initFrom(c);
        const int indicator = c->style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, c) +
                              c->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, c);
        EXPECT_LE(indicator + c->fontMetrics().horizontalAdvance(c->text()), c->width());
    }
}

namespace {

// A tile folder in the start directory and what start-up makes of it.
struct FolderCase {
    const char *name;
    const char *damage;          // what is done to graph/<file> after copying the set
    const char *file;
    QString error;               // as the error box shows it, empty for none
    bool cellsShowTile0;
    int picturesLoaded;          // Pic1..Pic<n> show their tiles, the rest stay blank
    int tileCodes;               // entries of TileCodeTable
};

const FolderCase folderCases[] = {
    {"complete", "none", "", {}, true, 256, 256},
    {"code80Missing", "remove", "80.bmp", QStringLiteral("Cannot open file graph/80.bmp."), true, 128, 256},
    {"code0Missing", "remove", "0.bmp", QStringLiteral("Cannot open file graph/0.bmp."), false, 0, 0},
    {"code0Truncated", "truncate", "0.bmp", QStringLiteral("Bitmap image is not valid."), false, 0, 0},
    {"code7IsPng", "png", "7.bmp", QStringLiteral("Bitmap image is not valid."), true, 7, 256},
    {"codeFFIsFolder", "folder", "FF.bmp", QStringLiteral("Cannot open file graph/FF.bmp."), true, 255, 256},
};

class StartupFolderTest : public StartupTest, public ::testing::WithParamInterface<FolderCase> {};

} // namespace

TEST_P(StartupFolderTest, ReportsTheFirstBadPictureAndKeepsWhatLoaded)
{
    const FolderCase &c = GetParam();
    copyTileSet();
    const QString file = graph(QString::fromLatin1(c.file));
    const std::string damage = c.damage;
    if (damage == "remove") {
        ASSERT_TRUE(QFile::remove(file));
    } else if (damage == "truncate") {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.resize(f.size() - 100));
    } else if (damage == "png") {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(tile(QStringLiteral("7")).save(&buffer, "PNG"));
        writeGraph(QString::fromLatin1(c.file), png);
    } else if (damage == "folder") {
        ASSERT_TRUE(QFile::remove(file));
        ASSERT_TRUE(QDir().mkdir(file));
    }
    start();

    EXPECT_EQ(dialogs.errors, c.error.isEmpty() ? QStringList() : QStringList{c.error});
    for (int n = 1; n <= rom::Cells; ++n) {
        if (c.cellsShowTile0)
            ASSERT_EQ(cellPicture(n), tile(QStringLiteral("0"))) << "Image" << n;
        else
            ASSERT_TRUE(cellPicture(n).isNull()) << "Image" << n;
    }
    for (int n = 1; n <= 256; ++n) {
        if (n <= c.picturesLoaded)
            ASSERT_EQ(paletteImage(n - 1), tile(rom::hexCode(n - 1))) << "Pic" << n;
        else
            ASSERT_TRUE(paletteImage(n - 1).isNull()) << "Pic" << n;
    }
    ASSERT_EQ(tileCodes().size(), c.tileCodes);
    for (int k = 0; k < c.tileCodes; ++k)
        EXPECT_EQ(tileCodes()[k], rom::hexCode(k));
    // The captions and hints come before the pictures and are in place.
    EXPECT_EQ(control<QPushButton>("Button2")->text(), QStringLiteral("Open ROM"));
    EXPECT_EQ(control("Hidemenu")->toolTip(), QStringLiteral("Open/hide tiles"));
    EXPECT_EQ(form->width(), 480);
}

INSTANTIATE_TEST_SUITE_P(TileFolders, StartupFolderTest, ::testing::ValuesIn(folderCases),
                         [](const auto &info) { return std::string(info.param.name); });

// The user's own "graph" folder in the start directory wins over the shipped
// set; without one the shipped set serves.
TEST_F(StartupTest, OwnTileFolderIsPreferredOverTheShippedSet)
{
    start();
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(cellPicture(1), tile(QStringLiteral("0")));

    copyTileSet();
    writeGraph(QStringLiteral("0.bmp"), solidBmp(qRgb(10, 200, 30)));
    writeGraph(QStringLiteral("FF.bmp"), solidBmp(qRgb(250, 250, 0)));
    start();
    EXPECT_TRUE(dialogs.errors.isEmpty());
    for (int n : {1, 100, 168})
        EXPECT_TRUE(isSolid(cellPicture(n), {32, 32}, qRgb(10, 200, 30))) << n;
    EXPECT_TRUE(isSolid(paletteImage(0x0), {32, 32}, qRgb(10, 200, 30)));
    EXPECT_TRUE(isSolid(paletteImage(0xFF), {32, 32}, qRgb(250, 250, 0)));
    EXPECT_EQ(paletteImage(0x1), tile(QStringLiteral("1")));
}

// Settings never stop a start: values of the wrong type read as the
// defaults; a settings file that is not a regular file (a pipe would block
// the start for good) is not read, and the settings live in memory.
TEST(EditorSettingsTest, OddValuesAndFilesReadAsTheDefaults)
{
    // The test's own settings file, in its temporary home.
    const auto store = [] {
        return std::make_unique<QSettings>(QSettings::defaultFormat(), QSettings::UserScope,
                                           QStringLiteral("WMBeditor"), QStringLiteral("WMBeditor"));
    };
    const QString file = store()->fileName();
    store()->setValue(QStringLiteral("emulator/command"), QByteArray("fceux"));
    EXPECT_EQ(EditorSettings().emulatorCommand(), QString());
    ASSERT_TRUE(QFile::remove(file));
#ifndef Q_OS_WIN   // Windows keeps no pipes among files
    ASSERT_EQ(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    testing::internal::CaptureStderr();
    EditorSettings settings;
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(told, "wmbeditor: " + file.toStdString() +
                        " is not a regular file; the settings are not read, and not kept after this run\n");
    settings.setEmulatorCommand(QStringLiteral("nestopia"));
    EXPECT_EQ(settings.emulatorCommand(), QStringLiteral("nestopia"));
    EXPECT_FALSE(QFileInfo(file).isFile());
    QFile::remove(file);
#endif
}
