// The one owner of the level: the open ROM image, the level loaded last and
// its record as last read or written, the level being edited (168 tile codes
// and the four texts as the boxes hold them), the selection and the edit
// history. Windows are views: they call its methods and follow its signals.
// Methods throw the runtime's errors; work that can fail is done before any
// state changes, so a failure leaves the document as it was.
#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "imagebackups.h"
#include "imagehistory.h"
#include "patches.h"
#include "levelrecord.h"
#include "levelset.h"
#include "recoveryfile.h"
#include "region.h"
#include "romfile.h"

class QFileSystemWatcher;
class QTimer;
class QUndoStack;
class TilePictures;

// The texts of a level as the boxes hold them (UTF-8).
enum class LevelText { Timer, Name, Author, Hint };

// A write the user called off (no backup could be made, and the answer was
// Cancel): nothing was written, and there is nothing to report.
class WriteCancelled : public std::exception {
public:
    const char *what() const noexcept override { return "The write was cancelled"; }
};

class LevelDocument : public QObject {
    Q_OBJECT
public:
    // The code of a cell no load, paint or paste has set yet (before the
    // first load): its store text is empty and it shows tile 0.
    static constexpr int Blank = -1;

    explicit LevelDocument(TilePictures &tiles, QObject *parent = nullptr);
    ~LevelDocument() override;

    // The open image.
    bool hasImage() const { return mRom.assigned(); }
    const std::string &imagePath() const { return mRom.path(); }
    // Could be read but not written: saves and imports refuse it.
    bool readOnly() const { return mReadOnly; }
    // Its name leads to no file any more; the handle is still held.
    bool missing() const { return mMissing; }

    // The level loaded last (the one a save writes), 0 when none.
    bool levelLoaded() const { return mLoaded != 0; }
    int loadedLevel() const { return mLoaded; }
    std::int32_t levelBase() const { return mLoaded ? wmb::LevelBaseOf(mLoaded) : 0; }
    // The loaded level's record as the editor last read or wrote it.
    const wmb::LevelRecord &savedRecord() const { return mKnown.saved(); }

    // The level being edited.
    int cell(int n) const { return mCells[static_cast<std::size_t>(n - 1)]; }   // n 1..168
    std::string cellText(int n) const;   // the map store text: "" for Blank
    std::array<std::string, wmb::MapCells> codes() const;
    const std::string &text(LevelText which) const;
    // A box now holds `text`; the document does not echo it back.
    void setText(LevelText which, const std::string &text);
    wmb::LevelFields fields() const;
    // Exactly the record a save would write. Throws NoLevelError without a
    // level, ConvertError for a bad timer.
    wmb::LevelRecord recordToSave() const;
    // True when a save would change at least one byte of the image.
    bool wouldChangeRecord() const;

    // The selection: a rectangle of cells, empty when nothing is selected.
    const wmb::CellRect &selection() const { return mSelection; }
    void select(const wmb::CellRect &rect);

    // The edit history of the map. A step is one gesture: beginStep opens
    // one (closing any open step), every change until endStep joins it, and
    // a step without a change leaves no trace. A change outside an open step
    // is a step of its own named `stepName`. Every load starts afresh.
    QUndoStack &history() { return *mHistory; }
    void beginStep(const QString &name);
    void endStep();
    bool stepOpen() const { return mOpenStep != 0; }
    void setCell(int n, int code, const QString &stepName = QStringLiteral("Paint"));
    void fillCells(const std::vector<int> &cells, int code, const QString &stepName);
    void undo();
    void redo();

    // Region work; each reads the tile pictures it shows first.
    void clearScreen();
    // The clipboard text of the selection, "" when nothing is selected.
    std::string selectionText() const;
    // Sets the selected cells to tile 0 as one step named `stepName`;
    // returns their clipboard text from before.
    std::string emptySelection(const QString &stepName);
    void floodFill(int n, int code);
    // Places a clipboard grid at `pointedCell` (the cell under the pointer,
    // 0 for none), else at the selection's top-left cell, else at
    // `selectedCell`, else at cell 1, as one "Paste" step, and selects it.
    // Throws when the text holds no grid of tile codes.
    void paste(const std::string &clipboardText, int selectedCell, int pointedCell = 0);

    // Opening and loading. openImage reads `level` of an image opened by
    // openRomFile before it lets go of the image open before.
    void openImage(wmb::RomFile rom, bool readOnly, int level);
    void loadLevel(int level);   // from the open image, 1..32
    // Opens read-write, or read-only when the file may only be read.
    static wmb::RomFile openRomFile(const std::string &path, bool &readOnly);

    // Puts unsaved edits kept by a recovery file back onto its level of the
    // open image (the caller opens the image the file names): the level is
    // loaded from the disk, its map takes the edits' codes as one step named
    // "Restore" and the boxes their texts. The edits count from the record
    // they started from, so a save asks before it writes over a change made
    // on the disk since. Every picture is read before anything changes.
    void restoreEdits(const wmb::RecoveryFile &edits);

    // Writing the loaded level: openForWriting refuses an image opened
    // read-only and opens it read-write; changedOnDisk says whether another
    // program changed the record since the editor read or wrote it;
    // reloadFromDisk shows it as the disk holds it; writeRecord writes it
    // (synced) and the texts show what was stored.
    void openForWriting();
    bool changedOnDisk();
    void reloadFromDisk();
    void writeRecord(const wmb::LevelRecord &record);
    // The record a level file makes, every picture it names read; throws
    // before anything changes. writeImported writes it as one step of the
    // image's history and reads it back.
    wmb::LevelRecord prepareImport(const std::string &levelFile);
    void writeImported(const wmb::LevelRecord &record, const std::string &stepName);

    // The whole image: as its name now reads, or through the handle held
    // when the name is gone.
    std::string imageBytes();
    // A copy of the image with the loaded level saved into it, written whole
    // at `target`; then the document works on the copy.
    void saveImageAs(const std::string &target);
    // Patches (leveldocument_patch.cpp). The patch in `format` from
    // `original` to the open image on the disk, and what it changes; an IPS
    // patch needs images of one size.
    struct CreatedPatch {
        std::string bytes;
        wmb::ImageChange change;
    };
    CreatedPatch patchFrom(const std::string &original, wmb::PatchFormat format);
    // A patch file of either format read, checked and applied to the image
    // in memory: the write it makes as one step of the image's history
    // (writeImage) and what it changes. Refuses an image opened read-only
    // before anything is read; throws the patch's own message when a check
    // fails.
    struct PatchStep {
        wmb::ImageWrite write;
        wmb::ImageChange change;
    };
    PatchStep preparePatch(const std::string &patchFile);
    // The 32 records of the image (nullopt where one cannot be read):
    // readAllRecords reads them now; records() is the one snapshot the views
    // share, read again once after each change of the image.
    using Records = std::array<std::optional<wmb::LevelRecord>, wmb::LevelCount>;
    Records readAllRecords();
    const Records &records();

    // Sets every cell of the shown level holding `from` to `to` as one map
    // step named "Replace tile"; returns how many (leveldocument_whole.cpp).
    int replaceTile(int from, int to);

    // Following the image on the disk: the "(missing)" mark, and the shown
    // level when another program changed its record and it has no unsaved
    // changes. The watch runs this a short pause after a change; while a
    // change is open it waits until it is over.
    void followImageFile();
    bool imageChangePending() const;

    // Writes into the whole image (copies, swaps and moves of levels, a tile
    // replaced in every level, a level taken from another image), each at once and one step of the image's history, which is kept apart
    // from the map's: its steps are writes into the file that another program
    // may refuse (the file changed since), so a step moves only when its
    // write succeeded. An image opened read-only refuses them as a save does.
    // The shown level is read anew when a write changes a byte of its record,
    // every picture it will need read before anything is written; it is the
    // caller's part to ask about its unsaved changes first. A save of the
    // shown level joins the steps that changed its bytes, so none is lost.
    const wmb::ImageHistory &imageHistory() const { return mImageHistory; }
    void writeImage(const wmb::ImageWrite &write, const std::string &stepName);
    void undoImageWrite();
    void redoImageWrite();
    // Forgets the image steps undone (a new step of the map was made).
    void dropImageRedo();

    // Backups: every write above (writeRecord, writeImported, writeImage,
    // its undo and redo, saveImageAs over an existing file) first asks
    // backups() for the backup the rules want. When none could be made,
    // `ask` is asked "No backup of rom.nes could be made (Disk full). Write
    // the level anyway?"; false (and no `ask` set) throws WriteCancelled
    // before anything is written.
    ImageBackups &backups() { return mBackups; }
    void setAskWithoutBackup(std::function<bool(const QString &question)> ask) { mAskWithoutBackup = std::move(ask); }
    // The write that puts the backup's bytes over the image (one step of the
    // image's history when written). Throws when the backup cannot be read
    // or its size is not the image's.
    wmb::ImageWrite restoreWrite(const std::string &backupFile);

    // A change of many parts (one handler): the summary signals (edited,
    // imageChanged, modifiedChanged) come once, when the outermost is over.
    void beginChange();
    void endChange();

signals:
    // At once, for every change.
    void mapHistoryCleared();          // a load or a read from the disk
    void cellsChanged(const QList<int> &cells);
    void fieldsChanged();              // the document set the four texts
    void loaded();                     // a level was loaded or imported
    void selectionChanged();
    // Once a change is over.
    void imageChanged();               // the image or what it holds
    void edited();                     // the level's cells or texts
    void modifiedChanged(bool modified);
    void imageHistoryChanged();

private:
    friend class CellsCommand;
    struct Prepared {
        int level = 0;
        wmb::LevelRecord record;
        wmb::LevelFields fields;
    };
    Prepared prepare(wmb::RomFile &rom, int level) const;
    std::optional<Prepared> shownAfter(const wmb::ImageWrite *write);
    void followWrite(const std::optional<Prepared> &shown);
    std::string shownRecordBytes();
    void noteWroteShownRecord(const std::string &before);
    void showLoaded(const Prepared &level);
    void showFromDisk(const Prepared &level);
    void showFields(const wmb::LevelFields &fields);
    void showSaved(const wmb::LevelRecord &record);
    void applyCell(int n, int code);
    void reopen();
    void watchImage();
    void followShownLevel();
    void noteEdited();
    void noteImage();
    void flush();
    void backUpBefore(const std::string &path, const std::function<std::string()> &read);

    TilePictures &mTiles;
    wmb::RomFile mRom;
    bool mReadOnly = false;
    bool mMissing = false;
    int mLoaded = 0;
    wmb::KnownRecord mKnown;
    wmb::ImageHistory mImageHistory;   // of the open image
    ImageBackups mBackups;
    std::function<bool(const QString &)> mAskWithoutBackup;
    std::array<int, wmb::MapCells> mCells;
    std::array<std::string, 4> mTexts;
    wmb::CellRect mSelection;
    QUndoStack *mHistory = nullptr;
    int mOpenStep = 0;       // the serial of the open step, 0 when none
    int mStepSerial = 0;
    QString mStepName;
    int mChangeDepth = 0;
    bool mEditPending = false;
    bool mImagePending = false;
    bool mModifiedShown = false;
    // Whether the texts, with the cells as saved, would change the record.
    struct TextsVerdict {
        std::array<std::string, 4> texts;
        wmb::LevelRecord saved;
        bool changes;
    };
    mutable std::optional<TextsVerdict> mTextsVerdict;
    QFileSystemWatcher *mWatcher = nullptr;   // made with the first image
    QTimer *mFollowTimer = nullptr;
    std::optional<Records> mRecords;   // reset by every change of the image
};
