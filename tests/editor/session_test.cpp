// The editing session on its own, with no window: around every whole-level
// operation the shown level's unsaved edits stay unless the user discarded
// them and the write succeeded, questions come in the one order, a write
// that cannot be done is refused before any question, and undo follows the
// one history and says why when it cannot.
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "cp1251.h"
#include "editorsession.h"
#include "fakedialogs.h"
#include "levelfile.h"
#include "leveldocument.h"
#include "levelset.h"
#include "settings.h"
#include "tilepictures.h"
#include "romfile.h"

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// A copy of the demo image opened at level 5, cell 1 painted 7E and the
// name changed: unsaved edits in the shown level.
struct Session {
    QTemporaryDir dir;
    QString rom = dir.filePath(QStringLiteral("rom.nes"));
    TilePictures tiles{QStringLiteral(WMB_TILE_DIR)};
    FakeDialogs dialogs;
    EditorSettings settings;
    QWidget window;
    LevelDocument doc{tiles};
    EditorSession session{doc, dialogs, settings, &window};
    QByteArray before;

    // Read-only: opened for viewing, as an image the user may not write is.
    explicit Session(qint64 size = -1, bool edits = true, bool readOnly = false, int shown = 5)
    {
        QByteArray image = readFile(QStringLiteral(WMB_DEMO_ROM));
        if (size >= 0)
            image.truncate(size);
        writeFile(rom, image);
        before = image;
        dialogs.okAnswers = {true};   // a short image asks before it opens
        act([&] {
            if (!readOnly) {
                session.openRomAt(rom, shown, [] { return 1; });
                return;
            }
            wmb::RomFile file;
            file.assign(rom.toStdString());
            file.openForReading();
            doc.openImage(std::move(file), true, shown);
        });
        if (edits) {
            doc.setCell(1, 0x7E);
            doc.setText(LevelText::Name, "EDITED");
        }
        dialogs.questions.clear();
        dialogs.okAnswers.clear();
    }
    // As a handler runs it: one change of the document, an error shown.
    void act(const std::function<void()> &body)
    {
        doc.beginChange();
        try {
            body();
        } catch (const WriteCancelled &) {
        } catch (const std::exception &e) {
            dialogs.showError(&window, QString::fromUtf8(e.what()));
        }
        doc.endChange();
    }
    bool editsKept() const { return doc.cell(1) == 0x7E && doc.text(LevelText::Name) == "EDITED"; }
    wmb::LevelRecord onDisk(int level) const { return wmb::levelRecordIn(readFile(rom).toStdString(), level); }
    wmb::LevelRecord was(int level) const { return wmb::levelRecordIn(before.toStdString(), level); }
};

const QString Unsaved = QStringLiteral("WMBeditor|Level 5 has unsaved changes.");

TEST(Session, WholeLevelWritesAskTheirQuestionFirstAndKeepUnsavedEditsUnlessDiscardedAndWritten)
{
    struct Case {
        const char *what;
        std::function<void(EditorSession &)> op;
        std::deque<bool> ok;
        std::deque<SaveChoice> save;
        QStringList questions;   // after the first, Unsaved when asked
        bool written, editsKept;
        int changed;             // a level the write changes, 0 for none
    };
    const auto swap = [](int a, int b) { return [=](EditorSession &s) { s.swapLevels(a, b); }; };
    const auto move = [](int a, int b) { return [=](EditorSession &s) { s.moveLevel(a, b); }; };
    const auto replace = [](EditorSession &s) { s.replaceTile(); };
    const QString swap38 = QStringLiteral("WMBeditor|Swap level 3 with level 8?");
    const QString swap58 = QStringLiteral("WMBeditor|Swap level 5 with level 8?");
    const QString move28 = QStringLiteral("WMBeditor|Move level 2 to place 8? Levels 3 to 8 become levels 2 to 7.");
    const QString replaceAll = QStringLiteral("WMBeditor|Replace tile 00 by 7F in *");
    const Case cases[] = {
        // The range spans level 5 and leaves its bytes: no second question.
        {"swap around the shown level", swap(3, 8), {true}, {}, {swap38}, true, true, 3},
        {"swap around it, cancelled", swap(3, 8), {false}, {}, {swap38}, false, true, 0},
        {"swap with it, discarded", swap(5, 8), {true}, {SaveChoice::Discard}, {swap58, Unsaved}, true, false, 5},
        {"swap with it, cancelled at the second", swap(5, 8), {true}, {SaveChoice::Cancel}, {swap58, Unsaved},
         false, true, 0},
        {"swap with it, cancelled at the first", swap(5, 8), {false}, {}, {swap58}, false, true, 0},
        {"move across it", move(2, 8), {true}, {SaveChoice::Discard}, {move28, Unsaved}, true, false, 5},
        {"move across it, cancelled", move(2, 8), {true}, {SaveChoice::Cancel}, {move28, Unsaved}, false, true, 0},
        {"move beside it", move(9, 12), {true}, {}, {QStringLiteral("WMBeditor|Move level 9 to place 12? Levels 10 "
                                                                    "to 12 become levels 9 to 11.")},
         true, true, 9},
        // Its own question before the one that would drop the edits.
        {"replace in all levels, cancelled", replace, {false}, {}, {replaceAll}, false, true, 0},
        {"replace in all levels, discarded", replace, {true}, {SaveChoice::Discard}, {replaceAll, Unsaved}, true,
         false, 5},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Session s;
        s.dialogs.okAnswers = c.ok;
        s.dialogs.saveChoices = c.save;
        // Tile 0 is in every demo level, the shown one included.
        s.dialogs.replaceAnswers = {TileReplacementAnswer{QStringLiteral("0"), QStringLiteral("7F"), true}};
        s.act([&] { c.op(s.session); });
        EXPECT_EQ(s.dialogs.errors, QStringList());
        // A question ending in "*" is matched up to it.
        ASSERT_EQ(s.dialogs.questions.size(), c.questions.size()) << s.dialogs.questions.join('\n').toStdString();
        for (qsizetype i = 0; i < c.questions.size(); ++i) {
            EXPECT_TRUE(c.questions[i].endsWith('*') ? s.dialogs.questions[i].startsWith(c.questions[i].chopped(1))
                                                      : s.dialogs.questions[i] == c.questions[i])
                << s.dialogs.questions[i].toStdString();
        }
        EXPECT_EQ(readFile(s.rom) != s.before, c.written);
        EXPECT_EQ(s.editsKept(), c.editsKept);
        EXPECT_EQ(s.session.canUndo(), true);   // the paint, or the write after it
        if (c.changed) {
            EXPECT_NE(s.onDisk(c.changed), s.was(c.changed));
        }
        EXPECT_EQ(s.session.undoText() == QStringLiteral("Paint"), !c.written);
    }
}

// An image that cannot take the write is refused before any question, with
// the edits and the file as they were.
TEST(Session, AWriteTheImageCannotTakeIsRefusedBeforeAnyQuestion)
{
    struct Case {
        const char *what;
        qint64 size;
        bool readOnly;
        QString error;
    };
    const Case cases[] = {
        {"read-only", -1, true, QStringLiteral("File access denied.")},
        {"50,000 bytes, level 1 shown", 50000, false,
         QStringLiteral("rom.nes is too short for this: its 50,000 bytes hold levels 1 to 3 only.")},
    };
    const QByteArray levelText = QByteArray::fromStdString(wmb::levelFileText(
        wmb::fieldsFromRecord(wmb::levelRecordIn(readFile(QStringLiteral(WMB_DEMO_ROM)).toStdString(), 4))));
    for (const Case &c : cases)
        for (const auto &op : std::vector<std::function<void(EditorSession &)>>{
                 [](EditorSession &s) { s.swapLevels(3, 8); }, [](EditorSession &s) { s.moveLevel(2, 8); },
                 [&](EditorSession &s) { s.pasteLevelOver(9, levelText); }}) {
            SCOPED_TRACE(c.what);
            Session s(c.size, true, c.readOnly, c.readOnly ? 5 : 1);
            s.dialogs.okAnswers = {true};
            s.dialogs.saveChoices = {SaveChoice::Discard};
            s.act([&] { op(s.session); });
            EXPECT_EQ(s.dialogs.questions, QStringList());
            ASSERT_EQ(s.dialogs.errors.size(), 1);
            EXPECT_TRUE(s.dialogs.errors.front().contains(c.error)) << s.dialogs.errors.front().toStdString();
            EXPECT_TRUE(s.editsKept());
            EXPECT_EQ(readFile(s.rom), s.before);
        }
}

// A level file's own bytes, Windows-1251, paste with their letters.
TEST(Session, ClipboardLevelInWindows1251KeepsItsLetters)
{
    Session s(-1, false);
    wmb::LevelFields fields = wmb::fieldsFromRecord(s.was(4));
    fields.name = "\xE2\x80\xA2" "A" "\xD0\x86";   // "•AІ"
    s.dialogs.okAnswers = {true};
    s.act([&] { s.session.pasteLevelOver(9, QByteArray::fromStdString(wmb::levelFileText(fields))); });
    EXPECT_EQ(s.dialogs.errors, QStringList());
    EXPECT_EQ(wmb::fieldsFromRecord(s.onDisk(9)).name.substr(0, fields.name.size()), fields.name);
}

// One history: an image step and a map step undo in the order they were
// made; Save before an image undo says what became of the step; a step the
// file no longer allows says why, names the file, and stays.
TEST(Session, UndoFollowsTheOneHistoryAndSaysWhyItCannot)
{
    Session s;
    s.dialogs.okAnswers = {true, true};
    s.act([&] { s.session.swapLevels(3, 8); });
    s.doc.setCell(2, 0x11);
    EXPECT_EQ(s.session.undoText(), QStringLiteral("Paint"));
    s.act([&] { s.session.undo(); });
    EXPECT_EQ(s.session.undoText(), QStringLiteral("Swap level 3 with level 8"));
    s.act([&] { s.session.undo(); });
    EXPECT_EQ(readFile(s.rom), s.before);
    EXPECT_TRUE(s.editsKept());
    EXPECT_EQ(s.dialogs.questions.size(), 1);   // the swap's own

    // Undo of a swap with the shown level, answered with Save: saved, then
    // undone, and the redo gives back the swap with the save in it.
    s.act([&] { s.session.swapLevels(5, 8); });   // discards: no save choice left
    s.doc.setText(LevelText::Name, "AGAIN");
    s.dialogs.saveChoices = {SaveChoice::Save};
    s.act([&] { s.session.undo(); });
    EXPECT_EQ(s.dialogs.errors, QStringList());
    EXPECT_EQ(s.session.note(), QString());
    EXPECT_EQ(s.session.undoText(), QString());
    EXPECT_EQ(s.onDisk(5), s.was(5));
    EXPECT_EQ(s.onDisk(8), s.was(8));
    EXPECT_EQ(s.session.redoText(), QStringLiteral("Swap level 5 with level 8"));
    s.act([&] { s.session.redo(); });
    EXPECT_EQ(wmb::fieldsFromRecord(s.onDisk(5)).name.substr(0, 5), "AGAIN");
    EXPECT_EQ(s.onDisk(8), s.was(5));
    EXPECT_EQ(s.dialogs.errors, QStringList());

    struct Broken {
        const char *what;
        std::function<bool(const QString &)> change;   // false where the system refuses it
        QString error;
    };
    const Broken broken[] = {
        {"truncated", [](const QString &rom) { return QFile::resize(rom, 40000); },
         QStringLiteral("Undo Swap level 3 with level 8 is not possible: rom.nes was made shorter by another program "
                        "since that step.")},
        // On Windows a file the editor holds open is deleted only once it is
        // closed: the undo still reaches it, so the row is POSIX only.
        {"deleted",
         [](const QString &rom) {
#ifdef _WIN32
             Q_UNUSED(rom);
             return false;
#else
             return QFile::remove(rom);
#endif
         },
         QStringLiteral("Undo Swap level 3 with level 8 is not possible: rom.nes no longer exists.")},
    };
    for (const Broken &b : broken) {
        SCOPED_TRACE(b.what);
        Session t(-1, false);
        t.dialogs.okAnswers = {true};
        t.act([&] { t.session.swapLevels(3, 8); });
        if (!b.change(t.rom))
            continue;
        t.act([&] { t.session.undo(); });
        EXPECT_EQ(t.dialogs.errors, QStringList{b.error});
        EXPECT_EQ(t.session.undoText(), QStringLiteral("Swap level 3 with level 8"));
    }
}

// Import is a step of the image's history; the note of a replace goes with
// its undo; the swap partner is asked under its own caption.
TEST(Session, ImportUndoesTheNoteFollowsAndTheSwapPartnerHasItsCaption)
{
    Session s(-1, false);
    const QString file = s.dir.filePath(QStringLiteral("nine.level"));
    writeFile(file, QByteArray::fromStdString(wmb::levelFileText(wmb::fieldsFromRecord(s.was(9)))));
    s.act([&] { s.session.importLevel(file); });
    EXPECT_EQ(s.dialogs.errors, QStringList());
    EXPECT_EQ(s.onDisk(5), s.was(9));
    EXPECT_EQ(s.session.undoText(), QStringLiteral("Import nine.level into level 5"));
    s.act([&] { s.session.undo(); });
    EXPECT_EQ(readFile(s.rom), s.before);

    s.dialogs.replaceAnswers = {TileReplacementAnswer{QStringLiteral("0"), QStringLiteral("7F"), true}};
    s.dialogs.okAnswers = {true};
    s.act([&] { s.session.replaceTile(); });
    EXPECT_TRUE(s.session.note().startsWith(QStringLiteral("Replaced ")));
    s.act([&] { s.session.undo(); });
    EXPECT_EQ(s.session.note(), QString());

    s.act([&] { s.session.swapLevels(2, 0); });   // the number dialog cancelled
    EXPECT_EQ(s.dialogs.levelCaptions, QStringList{QStringLiteral("Swap with level")});
}

// Compare and Take level refuse what they cannot read, naming it.
TEST(Session, CompareAndTakeRefuseWhatTheyCannotRead)
{
    Session s(-1, false);
    const QString small = s.dir.filePath(QStringLiteral("small.nes"));
    writeFile(small, QByteArray(1000, '\0'));
    QStringList refusals{small + QStringLiteral("|small.nes has 1,000 bytes: too small to hold the 32 levels of a "
                                                "Wumblers ROM image.")};
#ifndef _WIN32
    const QString pipe = s.dir.filePath(QStringLiteral("pipe.nes"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    refusals << pipe + QStringLiteral("|pipe.nes is a pipe, not a ROM image.");
#endif
    for (const QString &refusal : refusals) {
        s.dialogs.errors.clear();
        s.dialogs.fileAnswers = {refusal.section(QLatin1Char('|'), 0, 0)};
        s.act([&] { s.session.compareWith(); });
        EXPECT_EQ(s.dialogs.errors, QStringList{refusal.section(QLatin1Char('|'), 1)});
        EXPECT_EQ(s.dialogs.questions, QStringList());
        EXPECT_FALSE(s.session.comparing());
    }
    s.dialogs.errors.clear();

    const QString other = s.dir.filePath(QStringLiteral("other.nes"));
    writeFile(other, s.before);
    s.act([&] { s.session.compareWithImage(other.toStdString()); });
    ASSERT_TRUE(s.session.comparing());
    QFile::remove(other);
    s.dialogs.okAnswers = {true};
    s.act([&] { s.session.takeLevel(4); });
    ASSERT_EQ(s.dialogs.errors.size(), 1);
    EXPECT_TRUE(s.dialogs.errors.back().startsWith(QStringLiteral("other.nes can no longer be read")))
        << s.dialogs.errors.back().toStdString();
    EXPECT_EQ(readFile(s.rom), s.before);
}

} // namespace
