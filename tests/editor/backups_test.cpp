// Backups of the image before the editor writes into it: made in the data
// folder (never beside the image), found by wmbtool, asked about when none
// can be made, compared with and restored from File > Backups...
#include <QDir>
#include <QProcess>

#include <filesystem>

#ifndef _WIN32
#include <sys/mount.h>
#endif

#include "backups.h"
#include "datafolder.h"
#include "leveldocument.h"
#include "levelfile.h"
#include "levelset.h"
#include "pathnames.h"
#include "windowsupport.h"
#include "wholefile.h"

namespace {

class BackupsTest : public EditorTest {
protected:
    std::vector<wmb::StoredBackup> backups() const { return form->document().backups().of(imagePath()); }
    QByteArray backupBytes(std::size_t i) const
    {
        return QByteArray::fromStdString(wmb::readWholeFile(backups().at(i).file));
    }
    void editName(const QString &name) { setField(NameBox, name); }
    // The names in the image's folder.
    QStringList folderNames() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    static QProcess::ExitStatus tool(const QStringList &args, QByteArray &out)
    {
        QProcess p;
        p.start(QStringLiteral(WMB_BIN_DIR "/wmbtool"), args);
        p.waitForFinished(30000);
        out = p.readAllStandardOutput();
        return p.exitCode() == 0 ? p.exitStatus() : QProcess::CrashExit;
    }
};

} // namespace

// Two saves in one run: one backup, byte for byte the image before the
// first, listed by wmbtool as 1 and written out by it; nothing new beside
// the image.
TEST_F(BackupsTest, TwoSavesMakeOneBackupThatWmbtoolFinds)
{
    start();
    openRom();
    const QByteArray original = romBytes();
    const QStringList before = folderNames();
    editName(QStringLiteral("First"));
    save();
    editName(QStringLiteral("Second"));
    save();
    ASSERT_EQ(backups().size(), 1u);
    EXPECT_EQ(backupBytes(0), original);
    EXPECT_TRUE(QDir::fromNativeSeparators(qStringFromPath(backups()[0].file))
                    .startsWith(QDir::fromNativeSeparators(dataFolder()) + QStringLiteral("/backups/")));
    EXPECT_EQ(folderNames(), before);

    QByteArray listed, written;
    ASSERT_EQ(tool({QStringLiteral("backups"), romPath}, listed), QProcess::NormalExit);
    EXPECT_TRUE(listed.startsWith("1\t")) << listed.toStdString();
    EXPECT_EQ(listed.count('\n'), 1);
    EXPECT_TRUE(listed.endsWith("\t1\n")) << "level 1 differs: " << listed.toStdString();
    const QString out = dir.filePath(QStringLiteral("out/first.nes"));
    QDir(dir.path()).mkdir(QStringLiteral("out"));
    ASSERT_EQ(tool({QStringLiteral("backup"), romPath, QStringLiteral("1"), out}, written), QProcess::NormalExit);
    EXPECT_EQ(QByteArray::fromStdString(wmb::readWholeFile(pathFromQString(out))), original);
    EXPECT_TRUE(dialogs.questions.isEmpty()) << dialogs.questions.join('\n').toStdString();
}

// Every kind of write asks for the backup first, once per run, and again
// once ten minutes have passed.
TEST_F(BackupsTest, EveryWriteIsBackedUpFirstOncePerTenMinutes)
{
    const QString levelFile = dir.filePath(QStringLiteral("level_4.level"));
    const QString other = dir.filePath(QStringLiteral("other.nes"));
    const struct {
        const char *what;
        std::function<void()> write;
        QString image;   // the image the write replaces; romPath when empty
    } writes[] = {
        {"Save level", [&] { editName(QStringLiteral("Saved")); save(); }, {}},
        {"Import level", [&] { dialogs.fileAnswers.push_back(levelFile); clickButton(QStringLiteral("Button28")); }, {}},
        {"Swap levels", [&] {
             form->document().writeImage(wmb::swapLevels(form->document().imageBytes(), 1, 2), "Swap");
         }, {}},
        {"Save ROM As over another image", [&] {
             editName(QStringLiteral("Copied"));
             dialogs.fileAnswers.push_back(other);
             dialogs.okAnswers.push_back(true);   // replace it
             fileCommand(QStringLiteral("Save ROM As..."));
         }, other},
    };
    std::int64_t now = 1'796'847'245'000;
    for (const auto &w : writes) {
        SCOPED_TRACE(w.what);
        now += 3'600'000;   // each window later than the last
        writeRom(QByteArray::fromStdString(wmb::readWholeFile(WMB_DEMO_ROM)));
        QFile::remove(other);
        QFile::copy(romPath, other);
        wmb::writeFileAtomically(pathFromQString(levelFile), wmb::levelFileText(wmb::fieldsFromRecord(
                                                                   wmb::levelRecordIn(wmb::readWholeFile(WMB_DEMO_ROM), 4))));
        start();
        openRom();
        form->document().backups().setClock([&] { return now; });
        const std::string image = pathFromQString(w.image.isEmpty() ? romPath : w.image);
        const auto kept = [&] { return form->document().backups().of(image); };
        const std::size_t before = kept().size();
        const std::string bytes = wmb::readWholeFile(image);
        w.write();
        EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
        ASSERT_EQ(kept().size(), before + 1);
        EXPECT_EQ(wmb::readWholeFile(kept()[0].file), bytes);
        EXPECT_NE(wmb::readWholeFile(image), bytes) << "the write was made";
        if (!w.image.isEmpty())
            continue;
        now += 9 * 60'000;
        editName(QStringLiteral("Nine"));
        save();
        EXPECT_EQ(kept().size(), before + 1);
        now += 60'000;
        const std::string tenth = wmb::readWholeFile(image);
        editName(QStringLiteral("Ten"));
        save();
        ASSERT_EQ(kept().size(), before + 2);
        EXPECT_EQ(wmb::readWholeFile(kept()[0].file), tenth);
    }
}

// What the backups keep comes from the settings.
TEST_F(BackupsTest, TheSettingsSayHowManyAreKept)
{
    EditorSettings().setBackupLimits(2, 500);
    start();
    openRom();
    std::int64_t now = 1'796'847'245'000;
    form->document().backups().setClock([&] { return now += wmb::BackupIntervalMs; });
    QByteArray last;
    for (const char *name : {"One", "Two", "Three"}) {
        last = romBytes();
        editName(QLatin1String(name));
        save();
    }
    ASSERT_EQ(backups().size(), 2u);
    EXPECT_EQ(backupBytes(0), last);
    EditorSettings().setBackupLimits(20, 500);
}

#ifndef _WIN32
// The data folder on a full file system (a small tmpfs): the question, and
// Cancel writes nothing; OK writes the level without a backup.
TEST_F(BackupsTest, NoBackupAsksAndCancelWritesNothing)
{
    const QString full = dir.filePath(QStringLiteral("full"));
    QDir(dir.path()).mkdir(QStringLiteral("full"));
    if (::mount("tmpfs", full.toLocal8Bit().constData(), "tmpfs", 0, "size=8k") != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    const QByteArray home = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", full.toLocal8Bit());
    start();
    openRom();
    const QByteArray original = romBytes();
    editName(QStringLiteral("Full"));
    save();   // no answer queued: Cancel
    EXPECT_EQ(dialogs.questions,
              QStringList{QStringLiteral("Warning!|No backup of demo.nes could be made (Disk full). Write the level anyway?|Cancel")});
    EXPECT_EQ(romBytes(), original);
    EXPECT_TRUE(hasUnsavedChanges());
    EXPECT_TRUE(dialogs.errors.isEmpty());
    dialogs.okAnswers.push_back(true);
    save();
    EXPECT_NE(romBytes(), original);
    EXPECT_FALSE(hasUnsavedChanges());
    EXPECT_TRUE(QDir(full + QStringLiteral("/WMBeditor/backups")).entryList(QDir::Files | QDir::Hidden).isEmpty())
        << "no half backup and no temporary file";
    qputenv("XDG_DATA_HOME", home);
    form.reset();
    ::umount(full.toLocal8Bit().constData());
}
#endif

// File > Backups...: the list, Compare, and Restore the whole image as one
// step of the image's history that an undo takes back byte for byte.
TEST_F(BackupsTest, RestoreTheWholeImageIsUndoneByteForByte)
{
    start();
    openRom();
    const QByteArray original = romBytes();
    loadLevel(3);
    editName(QStringLiteral("Later"));
    save();
    const QByteArray saved = romBytes();
    // A leftover of a killed write in the backups folder goes at the next star
    const std::string leftover = pathFromQString(dataFolder()) + "/backups/.wmb-kill3d";
    wmb::writeFileAtomically(leftover, "half");
    removeDataFolderLeftovers();
    EXPECT_FALSE(std::filesystem::exists(leftover));

    dialogs.backupChoices.push_back({0, BackupAction::Compare});
    fileCommand(QStringLiteral("Backups..."));
    ASSERT_EQ(dialogs.backupLists.size(), 1);
    ASSERT_EQ(dialogs.backupLists[0].size(), 1);
    EXPECT_EQ(dialogs.backupLists[0][0].levels, QStringLiteral("3"));
    EXPECT_EQ(dialogs.backupLists[0][0].size, original.size());
    EXPECT_EQ(differingCells(), std::vector<int>{}) << "only the name differs";
    EXPECT_TRUE(statusText(QStringLiteral("Comparison")).contains(QStringLiteral("the backup of")))
        << statusText(QStringLiteral("Comparison")).toStdString();

    dialogs.backupChoices.push_back({0, BackupAction::Restore});
    dialogs.okAnswers.push_back(true);
    fileCommand(QStringLiteral("Backups..."));
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(dialogs.questions[0],
              QStringLiteral("WMBeditor|Restore the whole image from the backup of %1? It changes level 3; the bytes "
                             "outside the level records are the same.|Cancel")
                  .arg(backupTime(backups()[0].timeMs)));
    EXPECT_EQ(romBytes(), original);
    EXPECT_EQ(field(NameBox), rom::textAt(original, rom::nameAt(3), 15)) << "the shown level follows";
    EXPECT_EQ(form->document().imageHistory().undoName(), "Restore the whole image");
    form->document().undoImageWrite();
    EXPECT_EQ(romBytes(), saved);
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
}
