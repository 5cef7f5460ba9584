// One editing session of the open image: the state a user edits with that
// is not the level itself (the picked tile, the framed and pointed cells,
// the search, the comparison, the level copied last), and every decision a
// user would call "what happens when I do this": leaving a level, saving,
// importing, the whole-level operations, replacing and taking, and the one
// history that Undo and Redo follow from every window. It holds no widget;
// the windows read its state, call it, and follow its signals. Methods throw
// the runtime's errors; a failure or a Cancel leaves the image, the shown
// level and its unsaved edits as they were.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialogs.h"
#include "recoveryfile.h"
#include "levelrecord.h"
#include "levelset.h"
#include "region.h"


class EditorSettings;
class ImageComparison;
class LevelDocument;
class TestCopies;
class QWidget;



// "49,423": a count of bytes with its thousands grouped, as messages write it.
std::string groupedNumber(std::int64_t n);

class EditorSession : public QObject {
    Q_OBJECT
public:
    EditorSession(LevelDocument &document, Dialogs &dialogs, EditorSettings &settings, QWidget *window);
    ~EditorSession() override;

    LevelDocument &document() { return mDocument; }
    const LevelDocument &document() const { return mDocument; }

    // Questions are asked over the window the user acted in (the focus goes
    // back there when they close): the main window, unless a call is made
    // inside an Acting scope for another.
    class Acting {
    public:
        Acting(EditorSession &session, QWidget *window);
        ~Acting();
        Acting(const Acting &) = delete;
        Acting &operator=(const Acting &) = delete;

    private:
        EditorSession &mSession;
        QPointer<QWidget> mBefore;
    };
    QWidget *asker() const;

    // The palette pick: picture n (1..256) shows tile n - 1; 0 for none.
    // SelectedTileCode is its code as the tile table gives it.
    int SelectedTile = 0;
    QString SelectedTileCode;
    // The cell framed last (1..168), 0 for none.
    int SelectedCell = 0;
    // The map cell under the pointer, 0 when the pointer is off the map. The
    // pointer is over a cell from a move or a press on it until it leaves
    // it; while a stroke is open the cell keeps the pointer.
    int pointedCell = 0;
    void pointAt(int n);
    void leaveCell(int n);
    void setTileCodeTable(const QStringList &table) { mTileCodeTable = table; }
    void pickPicture(int n);
    // The picked tile's code, LevelDocument::Blank when none can be given.
    int pickedCode() const;

    // The drawing tool a plain left press on the map uses (Tools menu):
    // Pen paints each cell the pointer passes; Rectangle and Line paint
    // their shape from the pressed cell to the cell under the pointer,
    // shown while dragging; Fill flood fills; Select selects without
    // painting. Each is chosen by its key (B, R, L, F, S) while the map or
    // the palette has the keyboard focus.
    enum class Tool { Pen, Rectangle, Line, Fill, Select };
    struct ToolCommand {
        Tool tool;
        QString name;       // "Rectangle": the status bar's, and the undo step's (the Pen's is "Paint")
        QString menuText;   // "&Rectangle\tR"
        int key;            // Qt::Key_R
    };
    static const std::array<ToolCommand, 5> &toolCommands();
    Tool tool() const { return mTool; }
    void setTool(Tool tool);
    // A key without modifiers on the map or the palette: true when it chose a tool.
    bool chooseToolByKey(int key);

    // The map (editorsession_map.cpp), cells 1..168. A left press (Paint)
    // does what the tool does and opens a gesture, one undo step named after
    // the tool until the release; with no tile picked it frames the cell
    // (the Pen's drag frames each cell passed). With Shift a press selects
    // (from the framed cell on a click, from the pressed cell on a drag),
    // with Ctrl it flood fills at once; a right press picks the cell's tile.
    enum class Press { Paint, Select, Fill, Pick };
    void pressCell(int n, Press press);
    // The pointer moved with the button held: `passed` are the cells it
    // went over since the last move, in order (0 over a gap or off the map),
    // `nearest` the cell nearest to where it is now.
    void dragOver(const std::vector<int> &passed, int nearest);
    void releaseCell();
    // A left press's gesture is under way (until its release, Esc, or a
    // step that closed it: an undo, a load).
    bool gestureOpen() const;
    // Esc while the button is held: the cells, the selection and the frame
    // as before the press, no undo step left; the release does nothing.
    void cancelGesture();
    // A click on palette picture n; with Active select the framed cell takes
    // the picked tile.
    void clickPicture(int n, bool activeSelect);
    void clickCell(int n);   // paints with the pick, if any, and frames the cell
    void frameCell(int n);
    // From the keyboard: an arrow moves the frame (cell 1 when none), with
    // Shift it grows or shrinks the selection; Space paints the framed cell.
    void stepFrame(int dColumn, int dRow, bool extend);
    void paintFramed();
    // The selection: its clipboard text (empty when nothing is selected),
    // cut, delete, fill with the pick, select all or none, and a paste of
    // clipboard text where the pointer, the selection or the frame is.
    std::string copySelection() const;
    std::string cutSelection();
    void deleteSelection();
    void fillSelection();
    void selectAll();
    void selectNone();
    void pasteTiles(const std::string &text);

    // The one history: the map steps of the shown level and the steps of the
    // image, in the order they were made. A load starts the map steps
    // afresh and keeps the image's.
    bool canUndo() const { return !mDone.empty(); }
    bool canRedo() const { return !mUndone.empty(); }
    QString undoText() const;   // "Paint", "Paste level 4 over level 9"; empty when none
    QString redoText() const;
    void undo();
    void redo();

    // Leaving the shown level: asks the unsaved-changes question when there
    // are unsaved changes. False: the user cancelled. Save saves first (an
    // image opened read-only offers Save ROM As).
    bool confirmLeaveLevel();
    bool saveLevel();   // false when cancelled; nothing written then
    bool saveRomAs();
    // Open ROM after its dialog (level 0: the number box's, read once the
    // file has been looked at): a file too small
    // for any level is refused naming its size; one that does not look like
    // a ROM image asks first. False when nothing was opened.
    bool openRomAt(const QString &path, int level, const std::function<int()> &numberBoxLevel);
    // Edits left for an image that is gone: its newest backup copied where
    // the user says, opened, and the edits shown on it unsaved. False when
    // the user cancelled or declined the copy.
    bool restoreIntoBackupCopy(const wmb::RecoveryFile &edits);
    void loadLevel(int n);   // no question asked; n is clamped to 1..32
    // The same after the unsaved-changes question (editorsession_files.cpp).
    // False when nothing was opened or loaded.
    bool openLevel(int n);
    bool openRom(const std::function<int()> &numberBoxLevel);   // Open ROM, with its dialog
    bool openRomAfterQuestion(const QString &path, int level, const std::function<int()> &numberBoxLevel);
    void goToLevel();
    // A file dropped on the window: a level file is imported into the shown
    // level, after a question; anything else is opened as the image.
    void dropFile(const QString &path, const std::function<int()> &numberBoxLevel);
    void exportLevel(const QString &numberBoxText);   // Export level, with its dialog
    // "rom.nes (read-only), level 5* — WMBeditor"
    QString windowTitle() const;
    // Edits an ended editor left: their image opened (or a copy of its newest
    // backup, when it is gone) and the edits shown unsaved. False when the
    // user cancelled or nothing was restored.
    bool restoreLeftEdits(const wmb::RecoveryFile &edits);
    void importLevel(const QString &path);
    // Open Recent: a file gone since leaves the list.
    bool openRecent(const QString &path, const std::function<int()> &numberBoxLevel);
    // Level > Test in emulator: a copy of the image with the shown level
    // saved into it (as the first level too when asFirstLevel) starts in the
    // emulator; Level > Emulator... sets its command (editorsession_play.cpp).
    void testInEmulator(bool asFirstLevel);
    void chooseEmulator();
    void createPatch();     // File > Create patch...
    void applyPatch();      // File > Apply patch...
    void showImageInfo();   // File > Image info...

    // Whole levels (from the overview).
    void copyLevel(int n);
    // The clipboard's bytes as text: UTF-8 when they are, else Windows-1251
    // as a level file holds it.
    void pasteLevelOver(int n, const QByteArray &clipboard);
    void pasteClipboardLevelOver(int n);   // the system clipboard's text bytes
    void swapLevels(int level, int with);   // with 0: the number is asked
    void moveLevel(int from, int to);

    // Finding, replacing, comparing (editorsession_find.cpp).
    int foundCode() const { return mFoundCode; }   // -1 when no search
    const wmb::TileSearch &search() const { return mSearch; }
    const std::vector<int> &foundCells() const { return mFoundCells; }
    const std::vector<int> &differingCells() const { return mDifferingCells; }
    // Per level, the count of bytes that differ from the compared image.
    const std::array<int, wmb::LevelCount> &differingBytes() const { return mDifferingBytes; }
    QString searchText() const { return mSearchText; }
    QString comparisonText() const { return mComparisonText; }
    bool comparing() const;
    ImageComparison *comparison() const { return mComparison; }
    void findTile();
    // The next or previous level holding the code, after the unsaved-changes
    // question.
    void findNext(bool forward);
    void clearSearch();
    void replaceTile();
    void compareWith();
    void stopComparing();
    void takeLevel(int n);
    // File > Backups...: the open image's backups, compared with or
    // restored whole (editorsession_backups.cpp).
    void showBackups();
    // `name` is how messages name the other image; its file name when empty.
    void compareWithImage(const std::string &path, const QString &name = {});
    // The note the status bar shows after a step ("Replaced 11 cells").
    QString note() const { return mNote; }

signals:
    // The history, the pick, the search or the comparison changed; the
    // windows bring their commands and marks up to date.
    void historyChanged();
    void marksChanged();
    void noteChanged();
    void pickChanged();
    void frameChanged();
    void pointedChanged();
    void toolChanged();

private:
    enum class Step { Map, Image };
    bool ask(const QString &question, Answer enter = Answer::Ok);
    OverwriteChoice confirmOverwrite();
    bool confirmRomImage(const QString &path);
    // The one rule for a write that may touch the shown level: the write is
    // computed and checked first, then the operation's question; the
    // unsaved-changes question follows only when the write changes the
    // shown level's bytes; the edits go only once the write succeeded.
    // False when cancelled or when there was nothing to write.
    bool writeStep(const std::function<wmb::ImageWrite()> &compute, const QString &question,
                   const QString &stepName, Answer enter = Answer::Ok);
    wmb::ImageWrite computeWrite(const std::function<wmb::ImageWrite()> &compute);
    // The unsaved-changes question before a write that replaces the shown
    // level's record: true to go on (after Save, the record is saved).
    bool unsavedBeforeWrite();
    bool askAboutUnsaved(bool offerSaveAs);   // the one question of both
    void undoImage(bool redo);
    void reconcileHistory();
    void showNote(const QString &note);
    void refreshMarks();

    LevelDocument &mDocument;
    Dialogs &mDialogs;
    EditorSettings &mSettings;
    QWidget *mWindow;
    QPointer<QWidget> mActing;
    QStringList mTileCodeTable;

    // The gesture a left press opened: what it restores on Esc, and the
    // cells its Rectangle or Line shows now.
    struct Gesture {
        Tool tool;
        int from;
        int code;   // the pick's, -1 for none
        std::array<int, wmb::MapCells> before;
        wmb::CellRect selection;
        int frame;
        std::vector<int> shape;
    };
    void pressTool(int n, Press press);
    void showShape(std::vector<int> shape);
    Tool mTool = Tool::Pen;
    std::optional<Gesture> mGesture;
    std::size_t mMapSteps = 0;    // the map history's count, as reconciled last

    int mStrokeCell = 0;          // the last cell the open stroke painted
    int mSelectPress = 0;         // the cell a Shift press selected from, 0 outside a select drag
    bool mSelectDragged = false;  // the pointer has left that cell since

    std::vector<Step> mDone, mUndone;   // mUndone's back is the next redo
    bool mStepping = false;

    struct CopiedLevel {
        int level = 0;
        wmb::LevelRecord record;
        QString text;
    };
    std::optional<CopiedLevel> mCopiedLevel;

    int mFoundCode = -1;
    wmb::TileSearch mSearch;
    std::vector<int> mFoundCells, mDifferingCells;
    std::array<int, wmb::LevelCount> mDifferingBytes{};
    QString mSearchText, mComparisonText, mNote;
    ImageComparison *mComparison = nullptr;
    std::unique_ptr<TestCopies> mTestCopies;   // made on first use
};
