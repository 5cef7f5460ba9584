// The main window, a view of the editing session and its LevelDocument:
// every control of the editor and one handler per control and event.
// Handlers read the controls and call the session; the session's and the
// document's signals bring the controls up to date. Every handler body runs
// inside guarded().
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "mainpanel.h"
#include "editorsession.h"
#include "leveldocument.h"
#include "maplayout.h"
#include "region.h"
#include "settings.h"
#include "tilepictures.h"

class Dialogs;
class EditorMenus;
class LevelOverview;
class MapView;
class PaletteView;
class PictureBox;
class RecoveryKeeper;
class StatusBar;
class QCheckBox;
class QMenu;
class QLabel;
class QLineEdit;
class QPushButton;
class QEvent;
class QTableWidget;

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
    // The editing state and its decisions.
    EditorSession &session() { return *mSession; }
    const EditorSession &session() const { return *mSession; }
    // The directory the window started in, and the tile code table.
    const QString &startDirectory() const { return StartDirectory; }
    const QStringList &tileCodes() const { return TileCodeTable; }

    // Opens the ROM image at `path` as "Open ROM" does after its dialog,
    // after the unsaved-changes question. False when nothing was opened.
    bool openRomImage(const QString &path, int level = 0);
    // At start: offers the unsaved edits of editors that have ended.
    void offerRecovery();

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

    // What the menus call besides the handlers. Runs a handler body as one
    // change of the document; an error is shown in the standard error box,
    // over the window the user acted in, and the window goes on.
    void guarded(const std::function<void()> &body);
    StatusBar *statusBar() const { return mStatusBar; }
    LevelOverview *overview() const { return mOverview; }   // null until first shown
    // The number box's level, 1 to 32. A number outside is read as the
    // nearest level; the box itself is set when the level is shown.
    int levelNumberClamped();
    // The text box that has the keyboard focus, if any: it keeps its own
    // copy, cut, paste, select all, delete, undo and redo.
    QLineEdit *textBoxWithFocus() const;
    // Whether the map or the palette has the keyboard focus.
    bool drawingHasFocus() const;
    // The level overview, a child window made on first use.
    void showLevelOverview();
    // Zoom: one step in (positive, as far as the screen holds) or out; a
    // step the user chose, kept in the settings; the step shown; the
    // largest step whose window (palette shown) fits the screen.
    void zoomBy(int steps);
    void chooseZoom(int percent);
    int zoom() const { return mLayout.percent; }
    int largestZoom() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Controls under their layout names.
    MainPanel *Panel1 = nullptr;
    // The grid backdrop and the two frames: their place and picture, drawn
    // beneath the cells by the map and the palette.
    PictureBox *Black = nullptr;
    PictureBox *Red = nullptr;
    PictureBox *Green = nullptr;
    // The map's cells Image1..Image168 and the palette's pictures
    // Pic1..Pic256, each drawn by one view and addressed by number.
    MapView *mMap = nullptr;
    PaletteView *mPalette = nullptr;
    QPushButton *Button1 = nullptr, *Button2 = nullptr, *Button3 = nullptr, *Button4 = nullptr,
                *Button5 = nullptr, *Button6 = nullptr, *Button7 = nullptr, *Button10 = nullptr,
                *Button27 = nullptr, *Button28 = nullptr, *BitBtn1 = nullptr, *Hidemenu = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr,
           *Label5 = nullptr;
    QLineEdit *Edit1 = nullptr, *Edit2 = nullptr, *Edit3 = nullptr, *Edit4 = nullptr,
              *Edit5 = nullptr;
    QCheckBox *CheckBox1 = nullptr, *CheckBox2 = nullptr;
    QTableWidget *StringGrid1 = nullptr;   // the map store, filled from the document

    QString StartDirectory;
    QStringList TileCodeTable;

    // Map gestures on cell n: a left press does what the tool does (with
    // Shift it selects, with Ctrl it flood fills); a right press picks.
    void ImageMouseDown(int n, Qt::MouseButton button, QPoint panelPos,
                        Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void ImageMouseMove(QPoint panelPos);
    void ImageMouseUp(Qt::MouseButton button);

    // A key while the map has the focus; true when the map used it.
    bool MapKeyDown(int key, Qt::KeyboardModifiers modifiers);
    // The widget that holds the keyboard focus for the map.
    QWidget *mapFocus() const;

    // Whole levels from the overview (tform1_levels.cpp), asked for over it.
    void connectOverviewLevels();
    // The status bar (tform1_surface.cpp): a code typed into its code box
    // picks the tile as a click on its picture does; -1 picks nothing.
    void pickTileByCode(int code);

    void createControls();
    // The folder the editor started in: the one given, else the current one.
    QString startingDirectory() const;
    void followDocument();
    void setTabOrderChain();
    void fitToPanel();
    void setStoreText(int n, const QString &text);

    // Showing what the document holds.
    void showCells(const QList<int> &cells);
    void showFields();
    void showLoadedLevel();
    void refreshTitle();
    void dropFile(const QString &path);

    // Map painting (tform1_map.cpp).
    void createViews();
    void connectMapGestures();
    void placeFrames();
    void showFrames();
    bool mapKeyEvent(QEvent *event);

    // Find, replace and compare (tform1_find.cpp): their commands, and the
    // marks of the session's search and comparison on the map, the overview
    // and the status bar.
    void connectMarks();
    void fillOverviewMenu(QMenu *menu, int level);
    void showMarks();
    // Zoom (tform1_zoom.cpp): the map, its frames and the palette scale,
    // the controls below the map move down, the window follows the panel.
    void followCtrlWheel();
    void setZoom(int percent);
    void layoutMap();
    void sizeFrames();
    void noteBelowMap();
    wmb::MapLayout mLayout;
    std::vector<std::pair<QWidget *, QRect>> mBelowMap;   // each with its place at 100 %
    wmb::ScreenRoom screenRoom() const;

    void createStatusBar();
    void showPointedCell();
    void showPickedTile();
    StatusBar *mStatusBar = nullptr;

    Dialogs &mDialogs;
    StartupPaths mPaths;
    TilePictures mTiles;
    EditorSettings mSettings;
    LevelDocument *mDocument = nullptr;
    EditorSession *mSession = nullptr;
    EditorMenus *mMenus = nullptr;
    LevelOverview *mOverview = nullptr;          // made on first use, a child window
    std::unique_ptr<RecoveryKeeper> mRecovery;   // the unsaved edits, kept on the disk
    QPoint mStrokePos;    // the pointer's last position while a button is held on the map
};

// Widths of the main panel with the palette hidden and shown, and its
// height, at 100 %.
constexpr int PanelWidthNarrow = 480;
constexpr int PanelWidthWide = 1017;
constexpr int PanelHeight = 543;
// Website shown in the About box; the forum is its "/forum/" page.
inline constexpr const char *WebsiteAddress = "https://wmbeditor.example.org";
