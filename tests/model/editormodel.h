// The reference model of the editor: the ROM images and level files the
// window may touch, and everything the window shows, updated by plain rules
// for each user action. The random test runs every action on the real window
// and on this model and compares the two.
#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <map>
#include <optional>
#include <vector>

#include "levelrecord.h"
#include "levelset.h"
#include "modelrules.h"

namespace model {

// An error box the action must show: its exact text, or its beginning.
struct ExpectedError {
    QString text;
    bool prefix = false;
};

// A map cell: its store text and the tile whose picture it shows.
struct MapCell {
    QString code;
    QString picture;
    bool operator==(const MapCell &) const = default;
};
using MapState = std::array<MapCell, Cells>;

// A rectangle of map cells, columns and rows counted from 0 and inclusive;
// empty when nothing is selected.
struct Selection {
    int left = 0, top = 0, right = -1, bottom = -1;
    bool empty() const { return right < left; }
    bool contains(int cell) const
    {
        const int c = (cell - 1) % 14, r = (cell - 1) / 14;
        return c >= left && c <= right && r >= top && r <= bottom;
    }
    bool operator==(const Selection &) const = default;
};
// Rows of tile bytes, top row first.
using Grid = std::vector<std::vector<int>>;

// A one-line edit: text, cursor and length limit in UTF-16 units, as the
// widget keeps them.
struct EditModel {
    QString text;
    int cursor = 0;
    int maxLength = 0;

    void set(const QString &t);            // the program sets the text: cut, cursor to the end
    void type(const QString &s);           // typed at the cursor, cut to the room left
    void deleteForward();
};

enum class Key { Character, Backspace, Delete, Home, End };

// The ROM image the window has bound.
enum class Rom { None, Good, Short, Copy };

// The answer to the unsaved-changes question.
enum class Leave { Save, Discard, Cancel };
// The answer to the question before a save writes over a level that another
// program changed.
enum class OnDisk { Overwrite, Reload, Cancel };

// The field bytes of one level record, as a save writes them.
struct Record {
    QByteArray tiles;   // 168
    std::uint8_t timer = 0;
    QByteArray name, author, hint;
    bool operator==(const Record &) const = default;
};

// Outcome of choosing a file in a dialog, as the file system has it.
// OpenImage: the bound image itself, or a symbolic or hard link to it.
enum class Target { Cancel, File, Missing, Folder, MissingFolder, LongName, OpenImage };

class EditorModel {
public:
    explicit EditorModel(const QByteArray &demoRom);

    // Files.
    QByteArray goodRom;
    QByteArray shortRom;
    bool shortExists = false;
    QByteArray copyRom;   // copy.nes, written by Save ROM As
    bool copyExists = false;
    Rom bound = Rom::None;
    std::map<QString, QByteArray> exports;   // file name in the temp folder -> bytes

    // The window.
    EditModel level{QStringLiteral("1"), 1, 3};
    EditModel timer{QStringLiteral("100"), 3, 4};
    EditModel name{{}, 0, NameLength};
    EditModel author{{}, 0, AuthorLength};
    EditModel hint{{}, 0, HintLength};
    MapState map;
    bool buttonsEnabled = false;
    bool levelLoaded = false;
    int loadedLevel = 0;
    int selectedTile = 0;
    QString selectedCode;
    int selectedCell = 0;
    bool activeSelect = false;
    bool gridShown = true;
    int zoom = 100;   // percent: 100, 150, 200 or 300 (400 % is taller than the test screen)
    std::vector<std::pair<MapState, MapState>> undoSteps;   // (before, after), oldest first
    std::vector<std::pair<MapState, MapState>> redoSteps;   // newest last
    std::vector<QString> undoNames, redoNames;              // the steps' names, as the steps
    // The one history: map steps ('M') and image steps ('I') in the order
    // they were made; Undo takes done's last, Redo undone's last.
    std::vector<char> done, undone;
    void forgetSteps(char kind);   // from both lists (a load: 'M', a new image: 'I')
    void newStep(char kind);       // made now: every step undone is forgotten
    QString undoText() const;
    QString redoText() const;
    Selection selection;
    int pointedCell = 0;   // the map cell under the pointer, 0 off the map
    // The system clipboard: its text, and the grid it holds (none: no grid).
    QString clipboard;
    std::optional<Grid> clipboardGrid;

    // Errors the action being modelled must show, in order.
    std::vector<ExpectedError> errors;

    // The unsaved-changes question: the answer the user gives when it is
    // asked, and how often the window must have asked it.
    Leave answer = Leave::Discard;
    int leaveQuestions = 0;
    int loads = 0;   // levels shown afresh so far: loads, and a level shown again from the disk
    // The question before a save writes over another program's change.
    OnDisk onDiskAnswer = OnDisk::Cancel;
    int overwriteQuestions = 0;
    // Save level would change a byte of the image.
    bool unsavedChanges() const;
    // The window's title.
    QString title() const;

    // The map.
    void pickPalette(int n);
    void beginGesture(const QString &name = QStringLiteral("Paint"));
    void paint(int cell);          // one cell of a press or a stroke
    void endGesture();
    void rightPick(int cell);
    void clearScreen();
    void undo();
    void redo();

    // Regions of the map.
    void shiftSelect(int from, int to);   // the rectangle between two cells
    void shiftArrow(int dColumn, int dRow);
    void arrow(int dColumn, int dRow);
    void mapSpace();
    void copy();
    void cut();
    void paste();   // at the pointed cell, else the selection, else the selected cell
    // Enter in the tile code box after typing `typed`: the box refuses what
    // is no hexadecimal digit and a third digit.
    void pickByCode(const QString &typed);
    void deleteSelection();
    void fill();
    // With `tool` the Fill tool's press: its step "Fill" stays open.
    void floodFill(int cell, bool tool = false);

    // The drawing tools (modeldrag.cpp) in the Tools menu's order: a plain
    // left press, a move with the button held (the cells passed, and the
    // cell under the pointer), the release, Esc before it, and an undo, a
    // redo or a load (`load`) while the button is held.
    enum class Tool { Pen, Rectangle, Line, Fill, Select };
    Tool tool = Tool::Pen;
    static QString toolName(Tool tool);
    void pressTool(int cell);
    void dragTool(const std::vector<int> &passed, int over);
    void releaseTool();
    void cancelTool();
    void interruptTool(bool load);

    // The edits and bounds.
    void levelKey(Key key, QChar ch = {});
    void timerKey(Key key, QChar ch = {});
    void levelMouseMove();
    void timerMouseMove();
    void panelMouseMove();
    void timerArrow(int step);   // -1 "<", +1 ">"

    // Level actions; each does nothing while its button is disabled.
    void reload();
    void stepLevel(int delta);
    // False when the save stopped: an error, or Cancel to the question.
    bool save();
    // Another program wrote into the bound image; the window has followed.
    void diskChanged();
    // The file name of the bound image.
    QString boundName() const;
    // Save ROM As: `itself` is the bound image (a save), otherwise copy.nes,
    // replaced only after an OK (`ok`) when it exists.
    void saveRomAs(Target target, bool itself, bool ok);
    // A file smaller than 57,359 bytes (or without the iNES signature, which
    // every image of the model has) is opened only after an OK.
    bool looksLikeRom(Rom rom) const { return rom != Rom::Short || shortRom.size() >= 57359; }
    // A file smaller than 49,423 bytes holds no level: refused, asking nothing.
    bool tooSmall(Rom rom) const { return rom == Rom::Short && shortRom.size() < 49423; }
    // Open ROM: the question first, then the dialog, then the not-a-ROM
    // question answered `openAnyway`; false when no dialog was shown.
    bool openRom(Target target, Rom rom, bool openAnyway = true);
    // The name the export proposes: "level_" and the level loaded last (the
    // number box's text before any load).
    QString exportName() const;
    // The export after its dialog: `name` is the chosen file in the temp
    // folder, `exists` whether a file has that name, `ok` the answer to the
    // overwrite question.
    void exportLevel(Target target, const QString &name, bool exists, bool ok);
    // The import after its dialog; `file` is the chosen file's bytes.
    void importLevel(Target target, const QByteArray &file, const QString &fileName);

    // What the export writes for the level the window shows.
    QByteArray levelFileBytes() const;
    void storeRecord(const Record &record);
    QByteArray &boundBytes() { return bound == Rom::Short ? shortRom : bound == Rom::Copy ? copyRom : goodRom; }

    static constexpr int UndoLimit = 1000;

    // The editor ended as a kill ends it and a new one started on the same
    // files (modelcrash.cpp): the window as it starts, with the files, the
    // zoom setting and the clipboard as they were. With `restore` the unsaved
    // changes of the level shown come back as unsaved changes, the map's in
    // one step "Restore"; without, they are gone.
    void restart(bool restore);

    // Whole levels from the overview (modellevels.cpp), as plain bytes: each
    // write as the level functions compute it, undone by writing back what
    // it replaced. The pastes, swaps and moves return whether the question
    // before the write was asked (answered `ok`).
    std::vector<wmb::ImageWrite> imageUndo, imageRedo;   // newest last
    std::vector<QString> imageUndoNames, imageRedoNames;
    struct Copied {
        int level = 0;
        wmb::LevelRecord record;
        QString text;
    };
    std::optional<Copied> copied;
    void copyLevel(int n);
    bool pasteLevel(int n, bool ok);
    bool swapLevels(int a, int b, bool ok);
    bool moveLevel(int from, int to, bool ok);
    void undoImage(bool redo);
    bool replaceInAllLevels(int from, int to, bool ok);
    bool takeLevel(int n, const QByteArray &other, bool ok);
    // File > Apply patch of a BPS patch from `image` to `patched`; false
    // when nothing was asked.
    bool applyPatch(const std::string &image, const std::string &patched, bool ok);

private:
    // The write asked for (`ok`), then the unsaved-changes question when it
    // changes the shown level's bytes; `compute` is run again after a Save.
    // True when the operation's question was asked.
    bool writeStep(const std::function<wmb::ImageWrite()> &compute, bool ok, const QString &name);
    bool coversShown(const wmb::ImageWrite &write) const;
    void writeImage(const wmb::ImageWrite &write, const QString &name);
    // A save changed the loaded level's bytes from `before`: each changed
    // byte joins the newest step done that changes it; steps undone that
    // change one are forgotten.
    void saveJoinsSteps(const QByteArray &before);
    // The question before unsaved work is replaced: false to stop there.
    bool leaveLevel();
    // The record a save writes; nothing when the timer is no number.
    std::optional<Record> recordToSave() const;
    const QByteArray &boundBytesConst() const
    {
        return bound == Rom::Short ? shortRom : bound == Rom::Copy ? copyRom : goodRom;
    }
    Record saved;                   // the loaded level as last read or written
    Record seen;                    // the loaded level as last seen on the disk
    Record recordOnDisk() const;    // of the loaded level; the bound image holds it
    // The question, when the disk no longer holds `saved`.
    OnDisk askOverwrite();
    // The loaded level as `record`: the number box and the selection stay.
    void showRecord(const Record &record);
    QString savedTimer, savedName, savedAuthor, savedHint;   // what that put in the edits
    void load(int shown);
    void loadFromBox();
    void clampLevel();
    void clampTimer();
    void convertError(const QString &text);
    void error(const QString &text, bool prefix = false);
    bool tooShort();   // false, after the error a whole-level step on a short image shows
    MapState gestureStart;
    QString gestureName;
    // A gesture that changed a cell on the way forgets the steps undone, even
    // when it puts every cell back.
    bool gestureTouched = false;
    bool toolOpen = false;
    int toolFrom = 0, toolFrame = 0;
    Selection toolSelection;
    void forgetUndone();
    void fillSelection(const QString &code, const QString &name);
};

} // namespace model
