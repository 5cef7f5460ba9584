// The main window: every control of the editor, the editor state, and one
// handler per control and event. Handlers read the controls, call the level
// core and write the controls; every handler body runs inside guarded().
#pragma once

#include <QFrame>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <exception>
#include <functional>

#include "levelrecord.h"
#include "maphistory.h"
#include "region.h"
#include "romfile.h"
#include "tilepictures.h"

class Dialogs;
class MapOverlay;
class PictureBox;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QEvent;
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

    // True from a successful load until the next Open ROM: a save needs it.
    bool levelLoaded() const { return mLevelLoaded; }
    const TilePictures &tilePictures() const { return mTiles; }

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

    // Typed-character filters: true when the character is let through.
    static bool Edit1KeyPress(QChar ch);
    static bool Edit5KeyPress(QChar ch);

    // Runs a handler body; an error is shown in the standard error box and
    // the window goes on.
    void guarded(const std::function<void()> &body);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void setTabOrderChain();
    void fitToPanel();

    // The level as the controls hold it, and showing one.
    wmb::LevelFields currentFields() const;
    void showLevel(const wmb::LevelFields &fields, const std::array<QPixmap, wmb::MapCells> &pictures);
    void loadLevel();
    void saveLevel();
    void importLevel(const QString &path);
    int levelNumberClamped();

    // Map painting and its history (tform1_map.cpp).
    void connectMapGestures();
    void selectPaletteTile(int n);
    void paintCell(int n);
    void pickFromMap(int n);
    void setCell(int n, const QPixmap &picture, const QString &code);
    MapHistoryCell cellState(int n) const;
    void restoreCell(int n, const MapHistoryCell &state);

    // Region editing (tform1_region.cpp).
    void createMapOverlay();
    bool mapOverlayEvent(QEvent *event);
    void frameCell(int n);
    void fillCells(const std::vector<int> &cells, const QPixmap &picture, const QString &code,
                   const char *stepName);
    std::array<std::string, wmb::MapCells> mapCodes() const;
    QLineEdit *textBoxWithFocus() const;

    Dialogs &mDialogs;
    StartupPaths mPaths;
    TilePictures mTiles;
    bool mLevelLoaded = false;
    wmb::MapHistory<QPixmap> mMapHistory;
    QPoint mStrokePos;    // the last pointer position of the open stroke
    int mStrokeCell = 0;  // the last cell the open stroke painted
    MapOverlay *mMapOverlay = nullptr;
    wmb::CellRect mSelection;
    int mSelectPress = 0;         // the cell a Shift press selected from, 0 outside a select drag
    bool mSelectDragged = false;  // the pointer has left that cell since
};

// Widths of the main panel with the palette hidden and shown, and its height.
constexpr int PanelWidthNarrow = 480;
constexpr int PanelWidthWide = 1017;
constexpr int PanelHeight = 543;
// Upper and lower bounds of the timer edit's arrows and passive bound.
constexpr int TimerArrowMax = 1200;
// Website shown in the About box; the forum is its "/forum/" page.
inline constexpr const char *WebsiteAddress = "https://wmbeditor.example.org";
