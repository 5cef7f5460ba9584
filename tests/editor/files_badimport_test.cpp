// Import is all or nothing: a level file that cannot be read whole, or that
// names a picture that does not load, shows a clear error and changes
// neither the editor nor the ROM image.
#include "filesfixture.h"

#include <functional>

#include "hexcode.h"

class BadImportTest;

namespace {

struct BadImport {
    const char *name;
    // Prepares the case and returns the file the dialog answers with.
    std::function<QString(BadImportTest &)> prepare;
    // The error box text; with `prefixOnly` only its beginning is fixed.
    QString message;
    bool prefixOnly = false;
};

void PrintTo(const BadImport &c, std::ostream *out) { *out << c.name; }

} // namespace

class BadImportTest : public FilesTest, public ::testing::WithParamInterface<BadImport> {
public:
    using EditorTest::dir;
    using EditorTest::form;
    using EditorTest::romBytes;
    using FilesTest::path;
    using FilesTest::tileByte;
    using FilesTest::writeFile;

    // Level 9 as exported, with one line (1-based) replaced, or cut after
    // `keep` lines when `line` is 0.
    QString levelFile(int line, const QByteArray &text, int keep = 0)
    {
        QList<QByteArray> lines = exported.split('\n');
        if (line > 0)
            lines[line - 1] = text + "\r";
        if (keep > 0)
            lines = lines.mid(0, keep) << QByteArray();
        return file(lines.join('\n'));
    }
    QString file(const QByteArray &bytes)
    {
        writeFile(path("bad.level"), bytes);
        return path("bad.level");
    }
    QString graph(const QString &name) const { return path("graph/" + name); }

    QByteArray exported;

protected:
    void SetUp() override
    {
        FilesTest::SetUp();
        copyTileSetUnsynced();   // the user's own set, so a case can spoil a picture
        start();
        openRom();
        loadLevel(9);
        exported = exportTo(path("level_9.level"));
        // Unsaved edits that a save or a reload would give away.
        pickTile(0xE1);
        clickCell(1);
        setField(AuthorBox, QStringLiteral("unsaved"));
        ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
    }
};

TEST_P(BadImportTest, ShowsTheErrorAndChangesNothing)
{
    const BadImport &c = GetParam();
    const QString levelPath = c.prepare(*this);
    const QByteArray rom = romBytes();
    const EditorSnapshot shown = snapshot();

    importFrom(levelPath);

    ASSERT_EQ(dialogs.errors.size(), 1) << dialogs.errors.join('\n').toStdString();
    const QString &error = dialogs.errors.front();
    RecordProperty("message", error.toStdString());
    if (c.prefixOnly)
        EXPECT_TRUE(error.startsWith(c.message)) << error.toStdString();
    else
        EXPECT_EQ(error, c.message);
    EXPECT_LT(error.size(), 200) << "a message quotes no more than a bit of the file";
    EXPECT_EQ(romBytes(), rom);
    EXPECT_EQ(snapshot(), shown);
}

namespace {

// A tile code that level 9 does not use, so its picture may go missing.
QString codeNotOnLevel9(BadImportTest &t)
{
    for (int code = 0x80;; ++code) {
        const QByteArray text = QByteArray::number(code, 16).toUpper();
        if (!t.exported.contains("\n" + text + "\r"))
            return QString::fromLatin1(text);
    }
}

const BadImport Cases[] = {
    {"MissingFile", [](BadImportTest &t) { return t.path("nowhere.level"); }, "File not found."},
    {"Folder", [](BadImportTest &t) { QDir(t.dir.path()).mkdir("folder.level"); return t.path("folder.level"); },
     "File access denied."},
    {"EmptyFile", [](BadImportTest &t) { return t.file({}); }, "Level file ends at line ", true},
    {"ColumnCountNotANumber", [](BadImportTest &t) { return t.levelFile(1, "16B"); },
     "Level file line 1: Invalid numeric input."},
    {"RowCountNotANumber", [](BadImportTest &t) { return t.levelFile(2, "one"); },
     "Level file line 2: Invalid numeric input."},
    {"CountBeyondInteger", [](BadImportTest &t) { return t.levelFile(1, "4294967464"); },
     "Level file line 1: Invalid numeric input."},
    {"HugeColumnCount", [](BadImportTest &t) { return t.levelFile(1, "2000000000"); },
     "Level file line 1: ", true},
    {"TwoRows", [](BadImportTest &t) { return t.levelFile(2, "2"); }, "Level file line 2: ", true},
    {"NegativeRows", [](BadImportTest &t) { return t.levelFile(2, "-1"); }, "Level file line 2: ", true},
    {"OnlyCountsAndNoCodes", [](BadImportTest &t) { return t.file("168\r\n1\r\n"); },
     "Level file ends at line ", true},
    {"CodeLinesOneShort",
     [](BadImportTest &t) {
         QList<QByteArray> lines = t.exported.split('\n');
         lines.removeAt(169);   // the code of cell 168
         return t.file(lines.join('\n'));
     },
     "Level file line 170: ", true},
    {"FileCutAfterTheHint", [](BadImportTest &t) { return t.levelFile(0, {}, 173); },
     "Level file ends at line 173", true},
    {"CodeNotHex", [](BadImportTest &t) { return t.levelFile(3, "1G"); }, "Level file line 3: ", true},
    {"CodeTooBig", [](BadImportTest &t) { return t.levelFile(50, "100"); }, "Level file line 50: ", true},
    {"CodeThreeDigits", [](BadImportTest &t) { return t.levelFile(5, "00F"); }, "Level file line 5: ", true},
    {"CodeEmpty", [](BadImportTest &t) { return t.levelFile(170, ""); }, "Level file line 170: ", true},
    {"CodeVeryLongLine",
     [](BadImportTest &t) { return t.levelFile(7, QByteArray(1 << 20, 'A')); },
     "Level file line 7: ", true},
    {"CodePathTraversal", [](BadImportTest &t) { return t.levelFile(8, "../graph/1"); },
     "Level file line 8: ", true},
    {"TimerNotANumber", [](BadImportTest &t) { return t.levelFile(174, "12O"); },
     "Level file line 174: ", true},
    {"TimerEmpty", [](BadImportTest &t) { return t.levelFile(174, ""); }, "Level file line 174: ", true},
    {"TimerBeyondInteger", [](BadImportTest &t) { return t.levelFile(174, "99999999999"); },
     "Level file line 174: ", true},
    {"BinaryJunk",
     [](BadImportTest &t) {
         QByteArray junk;
         for (int i = 0; i < 4096; ++i)
             junk += char((i * 151 + 7) % 256);
         return t.file(junk);
     },
     "Level file line 1: Invalid numeric input."},
    {"PictureMissing",
     [](BadImportTest &t) {
         const QString code = codeNotOnLevel9(t);
         QFile::remove(t.graph(code + ".bmp"));
         t.levelFile(60, code.toLatin1());
         return t.path("bad.level");
     },
     "Cannot open file graph/", true},
    {"PictureNotABitmap",
     [](BadImportTest &t) {
         const QString code = codeNotOnLevel9(t);
         t.writeFile(t.graph(code + ".bmp"), "BM not really");
         t.levelFile(61, code.toLatin1());
         return t.path("bad.level");
     },
     "Bitmap image is not valid."},
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Files, BadImportTest, ::testing::ValuesIn(Cases),
                         [](const auto &info) { return std::string(info.param.name); });

// The file of the table with nothing spoiled imports: the failures above
// came from the spoiled part alone.
TEST_F(FilesTest, UnspoiledFileImports)
{
    copyTileSetUnsynced();
    start();
    openRom();
    loadLevel(9);
    QList<QByteArray> lines = exportTo(path("level_9.level")).split('\n');
    lines[170] = "IMPORTED NAME\r";
    writeFile(path("good.level"), lines.join('\n'));
    const QByteArray rom = romBytes();

    importFrom(path("good.level"));

    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
    EXPECT_EQ(field(NameBox), QString::fromUtf8("IMPORTED NAME\u2022\u2022"));
    QByteArray expected = rom;
    expected.replace(wmb::LevelBaseOf(9) + wmb::NameOffset, 15, QByteArray("IMPORTED NAME\0\0", 15));
    EXPECT_EQ(romBytes(), expected);
}
