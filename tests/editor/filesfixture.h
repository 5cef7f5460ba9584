// Helpers for the export and import tests: level files in the temporary
// folder, the buttons driven through the fake dialogs, and a snapshot of
// everything the editor shows, so a test can tell that nothing changed.
#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTableWidget>

#include <filesystem>
#include <vector>

#include "editorfixture.h"
#include "levelrecord.h"

// What the user sees of the level being edited.
struct EditorSnapshot {
    QStringList store;                 // map store texts of cells 1..168
    QStringList edits;                 // Edit1, Edit5, Edit2, Edit3, Edit4
    int storeColumns = 0, storeRows = 0;
    std::vector<QImage> cells;         // pictures of Image1..Image168
    bool operator==(const EditorSnapshot &) const = default;
};

class FilesTest : public EditorTest {
protected:
    QString path(const QString &name) const { return dir.filePath(name); }

    // As copyTileSet(), without syncing every file to the disk (QFile::copy
    // does), which made each case of the table take seconds.
    void copyTileSetUnsynced()
    {
        namespace fs = std::filesystem;
        fs::copy(fs::path(WMB_TILE_DIR), fs::path(path("graph").toStdString()),
                 fs::copy_options::recursive);
    }

    static QByteArray readFile(const QString &file)
    {
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << file.toStdString();
        return f.readAll();
    }
    static void writeFile(const QString &file, const QByteArray &bytes)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << file.toStdString();
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

    // Export level answered with `file` (OK to any overwrite question when
    // `overwrite`); returns the file's bytes afterwards.
    QByteArray exportTo(const QString &file, bool overwrite = true)
    {
        dialogs.fileAnswers.push_back(file);
        dialogs.okAnswers.push_back(overwrite);
        clickButton("Button27");
        dialogs.okAnswers.clear();
        return QFileInfo(file).isFile() ? readFile(file) : QByteArray();
    }
    void importFrom(const QString &file)
    {
        dialogs.fileAnswers.push_back(file);
        clickButton("Button28");
    }

    EditorSnapshot snapshot() const
    {
        const auto *store = control<QTableWidget>("StringGrid1");
        return {shownCodes(), fields(), store->columnCount(), store->rowCount(), cellPictures()};
    }

    // The tile byte of map cell n (1..168) of a level, from ROM bytes.
    static int tileByte(const QByteArray &rom, int level, int n)
    {
        return static_cast<unsigned char>(rom[wmb::LevelBaseOf(level) + n - 1]);
    }

    // `rom` with the field bytes of level `to` replaced by those of level
    // `from`: what a copy of one level onto another may change, and nothing
    // else (the bytes at -18 and -1 belong to no field).
    static QByteArray withLevelCopied(QByteArray rom, int from, int to)
    {
        const struct { int offset, length; } fields[] = {
            {wmb::AuthorOffset, wmb::AuthorLength}, {wmb::TimerOffset, 1},
            {wmb::NameOffset, wmb::NameLength}, {wmb::MapOffset, wmb::MapCells},
            {wmb::HintOffset, wmb::HintLength}};
        for (const auto &f : fields) {
            rom.replace(wmb::LevelBaseOf(to) + f.offset, f.length,
                        rom.mid(wmb::LevelBaseOf(from) + f.offset, f.length));
        }
        return rom;
    }

    // Names in the temporary folder, to find files left behind.
    QStringList folderEntries() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                          QDir::Name);
    }
};

// A ROM image opened and its first level loaded, with no error on the way.
class OpenedFilesTest : public FilesTest {
protected:
    void SetUp() override
    {
        FilesTest::SetUp();
        start();
        openRom();
        ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
    }
};
