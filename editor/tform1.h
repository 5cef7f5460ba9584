// The main window: every control of the editor, the editor state, and one
// handler per control and event. Handlers read the controls, call the level
// core and write the controls; every handler body runs inside guarded().
#pragma once

#include <QFrame>
#include <QKeySequence>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <exception>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "levelrecord.h"
#include "maphistory.h"
#include "region.h"
#include "romfile.h"
#include "settings.h"
#include "tilepictures.h"

class Dialogs;
enum class OverwriteChoice;
class LevelOverview;
class TestCopies;
class MapOverlay;
class PictureBox;
class QAction;
class QCheckBox;
class QMenu;
class QMenuBar;
class QLabel;
class QLineEdit;
class QPushButton;
class QEvent;
class QFileSystemWatcher;
class QTimer;
class QTableWidget;

// A map cell in the edit history: its store text and its picture.
using MapHistoryCell = wmb::MapCellState<QPixmap>;

// The main panel: reports mouse moves over its own surface only (not over
// one of its pictures, labels or other controls).
class MainPanel : public QFrame {
    Q_OBJECT
public:
    explicit MainPanel(QWidget *parent);
signals:
    void surfaceMouseMove();
protected:
    void mouseMoveEvent(QMouseEvent *event) override;
};

// Where the window looks for files: the start directory (whose "graph"
// folder, if any, is the user's own tile set) and the program's folder.
struct StartupPaths {
    QString startDirectory;    // empty: the process's current directory
    QString programDirectory;  // empty: the folder of the running executable
};

class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(Dialogs &dialogs, StartupPaths paths = {}, QWidget *parent = nullptr);
    ~TForm1() override;

    // The menu bar above the panel, and its menus.
    QMenuBar *MenuBar = nullptr;
    QMenu *FileMenu = nullptr, *EditMenu = nullptr, *LevelMenu = nullptr, *ViewMenu = nullptr,
          *HelpMenu = nullptr;

    // Controls under their layout names.
    MainPanel *Panel1 = nullptr;
    PictureBox *Black = nullptr;
    PictureBox *Red = nullptr;
    PictureBox *Green = nullptr;
    std::array<PictureBox *, wmb::MapCells> Image{};        // Image1..Image168 at [0..167]
    std::array<PictureBox *, wmb::PaletteTiles> Pic{};      // Pic1..Pic256 at [0..255]
    QPushButton *Button1 = nullptr, *Button2 = nullptr, *Button3 = nullptr, *Button4 = nullptr,
                *Button5 = nullptr, *Button6 = nullptr, *Button7 = nullptr, *Button10 = nullptr,
                *Button27 = nullptr, *Button28 = nullptr, *BitBtn1 = nullptr, *Hidemenu = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr,
           *Label5 = nullptr;
    QLineEdit *Edit1 = nullptr, *Edit2 = nullptr, *Edit3 = nullptr, *Edit4 = nullptr,
              *Edit5 = nullptr;
    QCheckBox *CheckBox1 = nullptr, *CheckBox2 = nullptr;
    QTableWidget *StringGrid1 = nullptr;

    // Editor state.
    wmb::RomFile RomFile;
    std::int32_t LevelBase = 0;
    int SelectedTile = 0;
    QString SelectedTileCode;
    int SelectedCell = 0;
    QString StartDirectory;
    QStringList TileCodeTable;

    // True when the open image could be read but not written: it is shown
    // and edited, but Save level and Import level refuse to write it.
    bool romReadOnly() const { return mRomReadOnly; }
    // True while the open image's name leads to no file (it was deleted or
    // moved away); the editor still holds the file open.
    bool romMissing() const { return mRomMissing; }
    // True from a successful load until the next Open ROM: a save needs it.
    bool levelLoaded() const { return mLevelLoaded; }
    // The level loaded last (the one Save writes), 0 when none.
    int loadedLevel() const { return mLevelLoaded ? mLoadedLevel : 0; }
    const TilePictures &tilePictures() const { return mTiles; }
    EditorSettings &settings() { return mSettings; }

    // The level as the controls hold it.
    wmb::LevelFields currentFields() const;
    // Exactly the record "Save level" would write for the shown level.
    // Throws NoLevelError without a level, ConvertError for a bad timer.
    wmb::LevelRecord recordToSave() const;
    // True when "Save level" would change at least one byte of the image.
    bool hasUnsavedChanges() const;
    // Asks the unsaved-changes question when (and only when) there are
    // unsaved changes. False: the user cancelled, do nothing. Save saves
    // first (and throws when the save fails); for an image opened read-only
    // the question offers Save ROM As instead, and cancelling it cancels.
    bool confirmLeaveLevel();
    // Loads level n as typing its number and pressing "Reload level" does,
    // after the unsaved-changes question.
    void openLevel(int n);
    // Opens the ROM image at `path` as "Open ROM" does after its dialog,
    // after the unsaved-changes question. False when nothing was opened.
    bool openRomImage(const QString &path, int level = 0);
    // Follows the open image on the disk now: the "(missing)" mark, the
    // shown level when another program changed its record (and it has no
    // unsaved changes), the followers. The watch on the image runs this a
    // short pause after a change; a handler running puts it off until the
    // handler is over.
    void followImageFile();
    // True from a change the watch saw until it is followed.
    bool imageChangePending() const;
    // A command of the menus: the action runs `body` inside guarded(); its
    // shortcut works anywhere in the window.
    QAction *addCommand(QMenu *menu, const QString &text, const QKeySequence &keys,
                        std::function<void()> body);

    // The map store text of map cell n (1..168).
    QString storeText(int n) const;
    void setStoreText(int n, const QString &text);

    // Handlers.
    void FormCreate();
    void Button1Click();   // Reload level
    void Button2Click();   // Open ROM
    void Button3Click();   // previous level
    void Button4Click();   // next level
    void Button5Click();   // Save level
    void Button6Click();   // timer down
    void Button7Click();   // timer up
    void Button10Click();  // Clear screen
    void Button27Click();  // Export level
    void Button28Click();  // Import level
    void BitBtn1Click();   // About
    void HidemenuClick();  // palette toggle
    void CheckBox2Click(); // Show grid
    void ImageClick(int n);  // map cell n, 1..168
    void PicClick(int n);    // palette picture n, 1..256
    void Panel1MouseMove();
    void Edit1KeyDown();
    void Edit1MouseMove();
    void Edit5KeyDown();
    void Edit5MouseMove();
    // Map gestures on cell n: a left press paints and opens a stroke that
    // moves paint until the release; a right press picks the cell's tile.
    // With Shift a left press selects instead (from the selected cell on a
    // click, from the pressed cell on a drag); with Ctrl it flood fills.
    void ImageMouseDown(int n, Qt::MouseButton button, QPoint panelPos,
                        Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void ImageMouseMove(QPoint panelPos);
    void ImageMouseUp(Qt::MouseButton button);

    // The map's edit history: undo and redo of cell pictures with their
    // store texts (Ctrl+Z; Ctrl+Shift+Z, Ctrl+Y). Every load starts afresh.
    void undoMapEdit();
    void redoMapEdit();
    void resetMapHistory();

    // Region editing (tform1_region.cpp). The selection is a rectangle of
    // cells, empty when nothing is selected; selecting changes no byte.
    const wmb::CellRect &selection() const { return mSelection; }
    void selectCells(const wmb::CellRect &rect);
    void clearSelection();
    // The commands of the Edit menu. While a text box has the focus, copy,
    // cut, paste, delete and select all act on its text instead.
    void copySelection();
    void cutSelection();
    void pasteClipboard();   // throws when the clipboard holds no grid of tile codes
    void deleteSelection();
    void fillSelection();
    void selectAll();
    void floodFill(int n);
    // A key while the map has the focus; true when the map used it.
    bool MapKeyDown(int key, Qt::KeyboardModifiers modifiers);
    // The widget that holds the keyboard focus for the map.
    QWidget *mapFocus() const;
    // The commands of the menus (other than the buttons' own).
    void goToLevel();
    void quit();

    // The level overview window and play-testing (tform1_play.cpp).
    // Test in emulator: a copy of the image with the shown level saved into
    // it (as the first level too when asFirstLevel) starts in the emulator.
    void showLevelOverview();
    void testInEmulator(bool asFirstLevel);
    void chooseEmulator();
    LevelOverview *levelOverview() const { return mOverview; }
    QAction *overviewAction() const { return mOverviewAction; }
    QAction *testAction() const { return mTestAction; }
    QAction *testFirstAction() const { return mTestFirstAction; }
    QAction *emulatorAction() const { return mEmulatorAction; }

    // Typed-character filters: true when the character is let through.
    static bool Edit1KeyPress(QChar ch);
    static bool Edit5KeyPress(QChar ch);

    // Runs a handler body; an error is shown in the standard error box and
    // the window goes on.
    void guarded(const std::function<void()> &body);

signals:
    // The shown level's map, timer or texts changed (after the change).
    void shownLevelEdited();
    // The open image, or what it holds, changed: Open ROM, a save, an
    // import, or another level was loaded.
    void romImageChanged();
    // A level was loaded or imported into the controls.
    void levelShown();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void createControls();
    void createMenus();
    void bindToButton(QAction *action, QPushButton *button);
    void refreshRecentMenu();
    void createPlayCommands();
    void updatePlayCommands();
    void setTabOrderChain();
    void fitToPanel();

    // A level read and checked, ready to be shown.
    struct PreparedLevel {
        int level = 0;
        wmb::LevelRecord record;
        wmb::LevelFields fields;
        std::array<QPixmap, wmb::MapCells> pictures;
    };
    PreparedLevel prepareLevel(wmb::RomFile &rom, int level) const;
    void showPrepared(const PreparedLevel &level);
    void showLevel(const wmb::LevelFields &fields, const std::array<QPixmap, wmb::MapCells> &pictures);
    void loadLevel();
    void loadLevelNumber(int n);   // no question asked
    // False when the user cancelled the save (nothing was written).
    bool saveLevel();
    OverwriteChoice confirmOverwrite();
    // The level loaded last as it now is on the disk: the number box and the
    // selection stay, the edit history starts afresh.
    void showFromDisk(const PreparedLevel &level);
    void watchImage();
    void followShownLevel();
    std::string imageBytes();
    bool openRomAt(const QString &path, int level);   // false: the user declined
    // The open image as a whole (tform1_rom.cpp).
    bool confirmRomImage(const QString &path);
    static wmb::RomFile openRomFile(const QString &path, bool &readOnly);
    void reopenRom();
    void refuseReadOnlyRom() const;
    void showSaved(const wmb::LevelRecord &record);
    bool saveRomAs();        // File > Save ROM As...; false when cancelled
    void createIpsPatch();   // File > Create IPS patch...
    void dropFile(const QString &path);
    // Notes that the shown level may have changed: the title and the
    // followers are brought up to date when the handler running ends.
    void levelEdited();
    void imageChanged();
    void flushChanges();
    void refreshTitle();
    void refreshEditActions();
    void importLevel(const QString &path);
    int levelNumberClamped();

    // Map painting and its history (tform1_map.cpp).
    void connectMapGestures();
    void selectPaletteTile(int n);
    void paintCell(int n);
    void pickFromMap(int n);
    // `stepName` names the undo step when no gesture's step is open.
    void setCell(int n, const QPixmap &picture, const QString &code, const char *stepName = "Paint");
    MapHistoryCell cellState(int n) const;
    void restoreCell(int n, const MapHistoryCell &state);

    // Region editing (tform1_region.cpp).
    void createMapOverlay();
    void createRegionCommands();
    bool mapOverlayEvent(QEvent *event);
    void frameCell(int n);
    void fillCells(const std::vector<int> &cells, const QPixmap &picture, const QString &code,
                   const char *stepName);
    std::array<std::string, wmb::MapCells> mapCodes() const;
    QLineEdit *textBoxWithFocus() const;

    Dialogs &mDialogs;
    StartupPaths mPaths;
    TilePictures mTiles;
    EditorSettings mSettings;
    bool mLevelLoaded = false;
    bool mRomReadOnly = false;
    bool mRomMissing = false;
    int mLoadedLevel = 0;
    wmb::KnownRecord mKnown;      // the loaded level's record as last read or written, and as last seen
    QFileSystemWatcher *mWatcher = nullptr;   // the open image and its folder; made with the first image
    QTimer *mFollowTimer = nullptr;
    int mHandlerDepth = 0;        // guarded() bodies running
    bool mEditPending = false;
    bool mImagePending = false;
    QMenu *mRecentMenu = nullptr;
    QAction *mUndoAction = nullptr, *mRedoAction = nullptr, *mShowTilesAction = nullptr,
            *mShowGridAction = nullptr, *mGoToAction = nullptr, *mSaveRomAsAction = nullptr,
            *mIpsAction = nullptr;
    std::vector<std::pair<QPushButton *, QAction *>> mButtonActions;
    QAction *mOverviewAction = nullptr, *mTestAction = nullptr, *mTestFirstAction = nullptr,
            *mEmulatorAction = nullptr;
    LevelOverview *mOverview = nullptr;          // made on first use, a child window
    std::unique_ptr<TestCopies> mTestCopies;     // made on first use
    wmb::MapHistory<QPixmap> mMapHistory;
    QPoint mStrokePos;    // the last pointer position of the open stroke
    int mStrokeCell = 0;  // the last cell the open stroke painted
    MapOverlay *mMapOverlay = nullptr;
    wmb::CellRect mSelection;
    int mSelectPress = 0;         // the cell a Shift press selected from, 0 outside a select drag
    bool mSelectDragged = false;  // the pointer has left that cell since
};

// The map's place on the panel: cells of 32 x 32 at a pitch of 33 (palette
// pictures have the same pitch).
constexpr int MapLeft = 8;
constexpr int MapTop = 8;
constexpr int CellPitch = 33;
constexpr int CellSize = 32;
// Widths of the main panel with the palette hidden and shown, and its height.
constexpr int PanelWidthNarrow = 480;
constexpr int PanelWidthWide = 1017;
constexpr int PanelHeight = 543;
// Website shown in the About box; the forum is its "/forum/" page.
inline constexpr const char *WebsiteAddress = "https://wmbeditor.example.org";
