// The main window, a view of a LevelDocument: every control of the editor
// and one handler per control and event. Handlers read the controls and call
// the document; the document's signals bring the controls up to date. Every
// handler body runs inside guarded().
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
#include <optional>
#include <utility>
#include <vector>

#include "leveldocument.h"
#include "maplayout.h"
#include "levelrecord.h"
#include "region.h"
#include "settings.h"
#include "tilepictures.h"

class Dialogs;

enum class OverwriteChoice;
class ImageComparison;
class LevelOverview;
class MapMarks;
class TestCopies;
class MapOverlay;
class PictureBox;
class PaletteKeys;
class StatusBar;
class QAction;
class QCheckBox;
class QMenu;
class QMenuBar;
class QLabel;
class QLineEdit;
class QPushButton;
class QEvent;
class QTableWidget;

// The main panel: reports mouse moves over its own surface only (not over
// one of its pictures, labels or other controls).
class MainPanel : public QFrame {
    Q_OBJECT
public:
    explicit MainPanel(QWidget *parent);
signals:
    void surfaceMouseMove();
    // The wheel turned with Ctrl held over the panel or one of its pictures:
    // `steps` notches, up positive.
    void ctrlWheel(QPoint panelPos, int steps);
protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
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

    // The level the window shows, and what the editor keeps between runs.
    LevelDocument &document() { return *mDocument; }
    const LevelDocument &document() const { return *mDocument; }
    EditorSettings &settings() { return mSettings; }

    // Opens the ROM image at `path` as "Open ROM" does after its dialog,
    // after the unsaved-changes question. False when nothing was opened.
    bool openRomImage(const QString &path, int level = 0);

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
    // Typed-character filters: true when the character is let through.
    static bool Edit1KeyPress(QChar ch);
    static bool Edit5KeyPress(QChar ch);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // The test driver reads the palette pick and the framed cell, which no
    // control holds.
    friend class WindowDriver;

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
    QTableWidget *StringGrid1 = nullptr;   // the map store, filled from the document

    // The window's own state: the palette pick and the framed cell.
    int SelectedTile = 0;
    QString SelectedTileCode;
    int SelectedCell = 0;
    QString StartDirectory;
    QStringList TileCodeTable;

    bool levelLoaded() const;
    int loadedLevel() const;
    const wmb::CellRect &selection() const;

    // Asks the unsaved-changes question when (and only when) there are
    // unsaved changes. False: the user cancelled, do nothing. Save saves
    // first (and throws when the save fails); for an image opened read-only
    // the question offers Save ROM As instead, and cancelling it cancels.
    bool confirmLeaveLevel();
    // Loads level n as typing its number and pressing "Reload level" does,
    // after the unsaved-changes question.
    void openLevel(int n);

    // Map gestures on cell n: a left press paints and opens a stroke that
    // moves paint until the release; a right press picks the cell's tile.
    // With Shift a left press selects instead (from the selected cell on a
    // click, from the pressed cell on a drag); with Ctrl it flood fills.
    void ImageMouseDown(int n, Qt::MouseButton button, QPoint panelPos,
                        Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void ImageMouseMove(QPoint panelPos);
    void ImageMouseUp(Qt::MouseButton button);
    // Undo and redo of the map (Ctrl+Z; Ctrl+Shift+Z, Ctrl+Y); in a text
    // box, of its text.
    void undoMapEdit();
    void redoMapEdit();

    // Region editing (tform1_region.cpp). While a text box has the focus,
    // copy, cut, paste, delete and select all act on its text instead.
    void selectCells(const wmb::CellRect &rect);
    void clearSelection();
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
    void goToLevel();
    void quit();

    // The level overview and play-testing (tform1_play.cpp). Test in
    // emulator: a copy of the image with the shown level saved into it (as
    // the first level too when asFirstLevel) starts in the emulator.
    void showLevelOverview();
    void testInEmulator(bool asFirstLevel);
    void chooseEmulator();
    // Whole levels from the overview (tform1_levels.cpp). Each write asks
    // first and is one step of the image's history; a shown level with
    // unsaved changes takes part only after the unsaved-changes question.
    void connectOverviewLevels();
    void copyLevel(int n);
    void pasteLevelOver(int n);
    void swapLevels(int level, int with);   // with 0: the number is asked
    void moveLevel(int from, int to);
    // Undo and redo of the image's history while the overview has the focus.
    bool overviewHasFocus() const;
    void undoImageWrite(bool redo);
    bool shownLevelTakesPart(bool takesPart);
    bool askBeforeWriting(const QString &question);
    // The level copied last, byte for byte, and the clipboard text it made.
    struct CopiedLevel {
        int level = 0;
        wmb::LevelRecord record;
        QString text;
    };
    std::optional<CopiedLevel> mCopiedLevel;
    // The status bar below the panel and the keyboard's ways to the map and
    // the palette (tform1_surface.cpp). The pointed cell is the map cell
    // under the pointer, 0 when the pointer is off the map.
    StatusBar *statusBar() const { return mStatusBar; }
    int pointedCell() const { return mPointedCell; }
    // Picks the tile of a code typed into the status bar's code box as a
    // click on its palette picture does; -1 picks nothing.
    void pickTileByCode(int code);

    // Runs a handler body as one change of the document; an error is shown
    // in the standard error box and the window goes on.
    void guarded(const std::function<void()> &body);

    void createControls();
    void followDocument();
    void setTabOrderChain();
    void fitToPanel();
    void setStoreText(int n, const QString &text);

    // The command table (tform1_menus.cpp): each command of the menus once,
    // with its text, keys, body and the rule that enables it (always, when
    // none); a button given shares the rule.
    struct Command {
        QAction *action;
        QPushButton *button;
        std::function<bool()> enabled;
    };
    QAction *addCommand(QMenu *menu, const QString &text, const QKeySequence &keys, std::function<void()> body,
                        std::function<bool()> enabled = {}, QPushButton *button = nullptr);
    void refreshCommands();
    void refreshEditCommands();
    void createMenus();
    void createEditCommands();
    void refreshRecentMenu();
    void createPlayCommands();

    // Showing what the document holds.
    void showCells(const QList<int> &cells);
    void showFields();
    void showLoadedLevel();
    void refreshTitle();

    void loadLevel();
    void loadLevelNumber(int n);   // no question asked
    // False when the user cancelled the save (nothing was written).
    bool saveLevel();
    OverwriteChoice confirmOverwrite();
    bool openRomAt(const QString &path, int level);   // false: the user declined
    bool confirmRomImage(const QString &path);
    bool saveRomAs();        // File > Save ROM As...; false when cancelled
    void createPatch();      // File > Create patch...
    void applyPatch();       // File > Apply patch...
    void showImageInfo();    // File > Image info...
    void dropFile(const QString &path);
    void importLevel(const QString &path);
    int levelNumberClamped();

    // Map painting (tform1_map.cpp).
    void connectMapGestures();
    void selectPaletteTile(int n);
    int selectedCode() const;
    void paintCell(int n);
    void pickFromMap(int n);
    void createMapOverlay();
    void createRegionCommands();
    bool mapOverlayEvent(QEvent *event);
    void mapOverlaySelection(const wmb::CellRect &rect);
    void frameCell(int n);
    QLineEdit *textBoxWithFocus() const;

    // Finding and replacing a tile, comparing with another image
    // (tform1_find.cpp). A search and a comparison leave marks on the map,
    // the overview and the status bar, and follow the document.
    void createFindCommands();
    void createCompareCommands();
    bool comparing() const;
    void findTile();
    void findNext(bool forward);
    void clearSearch();
    bool leaveShownLevel();
    void replaceTile();
    void compareWith();
    void takeLevel(int n);
    void fillOverviewMenu(QMenu *menu, int level);
    void rereadMarkRecords();
    void refreshMarks();
    void placeMapMarks();
    int mFoundCode = -1;   // the tile searched for, -1 for none
    wmb::TileSearch mSearch;
    std::vector<int> mFoundCells, mDifferingCells;   // of the shown level
    std::array<std::optional<wmb::LevelRecord>, wmb::LevelCount> mMarkRecords;   // as the image holds them
    ImageComparison *mComparison = nullptr;   // made on the first comparison
    MapMarks *mMapMarks = nullptr;
    // Zoom (tform1_zoom.cpp): the map, its frames and the palette scale,
    // the controls below the map move down, the window follows the panel.
    void createZoomCommands();
    void setZoom(int percent);
    void zoomBy(int steps);   // one step in (positive) or out, as far as the screen holds
    // The largest step whose window (palette shown) fits the screen.
    int largestZoom() const;
    void layoutMap();
    void layoutMapOverlay();
    void showMapPictures();
    void noteBelowMap();
    wmb::MapLayout mLayout;
    std::vector<std::pair<QWidget *, QPoint>> mBelowMap;   // each with its place at 100 %
    QAction *mZoomInAction = nullptr;

    void createStatusBar();
    void createPaletteKeys();
    void pointAt(int n);
    void showPointedCell();
    void showPickedTile();
    StatusBar *mStatusBar = nullptr;
    PaletteKeys *mPaletteKeys = nullptr;
    int mPointedCell = 0;

    Dialogs &mDialogs;
    StartupPaths mPaths;
    TilePictures mTiles;
    EditorSettings mSettings;
    LevelDocument *mDocument = nullptr;
    std::vector<Command> mCommands;
    QMenu *mRecentMenu = nullptr;
    QAction *mUndoAction = nullptr, *mRedoAction = nullptr, *mShowTilesAction = nullptr,
            *mShowGridAction = nullptr;
    LevelOverview *mOverview = nullptr;          // made on first use, a child window
    std::unique_ptr<TestCopies> mTestCopies;     // made on first use
    QPoint mStrokePos;    // the last pointer position of the open stroke
    int mStrokeCell = 0;  // the last cell the open stroke painted
    MapOverlay *mMapOverlay = nullptr;
    int mSelectPress = 0;         // the cell a Shift press selected from, 0 outside a select drag
    bool mSelectDragged = false;  // the pointer has left that cell since
};

// Widths of the main panel with the palette hidden and shown, and its
// height, at 100 %.
constexpr int PanelWidthNarrow = 480;
constexpr int PanelWidthWide = 1017;
constexpr int PanelHeight = 543;
// Website shown in the About box; the forum is its "/forum/" page.
inline constexpr const char *WebsiteAddress = "https://wmbeditor.example.org";
