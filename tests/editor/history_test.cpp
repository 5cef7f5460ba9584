// Undo and redo of map edits, drag-painting, picking a tile from the map and
// the window's shortcuts, driven with real mouse and key events.
#include "mapfixture.h"

#include <QLineEdit>

#include <functional>

#include <QUndoStack>

#include "leveldocument.h"
#include "tilepictures.h"

namespace {

// The document on its own: codes of cells after each undo and redo.
struct DocumentHistory {
    TilePictures tiles{QStringLiteral(WMB_TILE_DIR)};
    LevelDocument doc{tiles};
    std::vector<int> cells(std::initializer_list<int> ns) const
    {
        std::vector<int> out;
        for (int n : ns)
            out.push_back(doc.cell(n));
        return out;
    }
};

constexpr int Blank = LevelDocument::Blank;

TEST(DocumentHistory, AStepMergesRepeatedChangesOfACellAndDropsEmptySteps)
{
    DocumentHistory h;
    h.doc.beginStep(QStringLiteral("Paint"));
    h.doc.endStep();  // nothing changed: no step
    EXPECT_FALSE(h.doc.history().canUndo());

    h.doc.beginStep(QStringLiteral("Paint"));
    h.doc.setCell(3, 0xA);
    h.doc.setCell(4, 0xA);
    h.doc.setCell(3, 0xB);
    h.doc.setCell(4, 0xA);  // no change: nothing noted
    h.doc.endStep();
    ASSERT_EQ(h.doc.history().count(), 1);
    EXPECT_EQ(h.doc.history().undoText(), QStringLiteral("Paint"));
    h.doc.undo();
    EXPECT_EQ(h.cells({3, 4}), (std::vector<int>{Blank, Blank}));
    EXPECT_FALSE(h.doc.history().canUndo());
    h.doc.redo();
    EXPECT_EQ(h.cells({3, 4}), (std::vector<int>{0xB, 0xA}));
    EXPECT_FALSE(h.doc.history().canRedo());
}

TEST(DocumentHistory, ANewStepClearsRedoAndTheOldestStepsFallOffTheLimit)
{
    DocumentHistory h;
    for (int i = 0; i < 1001; ++i)
        h.doc.setCell(1 + i % 2, i & 0xFF, QStringLiteral("Active select"));  // one step each
    EXPECT_EQ(h.doc.history().count(), 1000);
    h.doc.undo();
    h.doc.undo();
    EXPECT_TRUE(h.doc.history().canRedo());
    h.doc.setCell(9, 2);
    EXPECT_FALSE(h.doc.history().canRedo());
    EXPECT_EQ(h.doc.history().undoText(), QStringLiteral("Paint"));
    for (int i = 0; i < 999; ++i)
        h.doc.undo();
    EXPECT_EQ(h.cells({1, 2, 9}), (std::vector<int>{0, Blank, Blank}));  // the first step fell off
    EXPECT_FALSE(h.doc.history().canUndo());
}

TEST(DocumentHistory, UndoClosesAnOpenStepAndClearDropsIt)
{
    DocumentHistory h;
    h.doc.beginStep(QStringLiteral("Paint"));
    h.doc.setCell(7, 1);
    EXPECT_EQ(h.doc.history().undoText(), QStringLiteral("Paint"));
    h.doc.undo();
    EXPECT_EQ(h.doc.cell(7), Blank);
    EXPECT_FALSE(h.doc.stepOpen());
    h.doc.setCell(8, 1);
    h.doc.setCell(9, 1);
    EXPECT_EQ(h.doc.history().count(), 2);  // outside a gesture: a step each
}

// The window.
using HistoryTest = MapTest;

TEST_F(HistoryTest, UndoAndRedoWalkThroughEveryGestureWithPicturesStoreAndSavedBytes)
{
    startWithLevel(1);
    showActive();
    const QByteArray original = romBytes();
    std::vector<MapState> states{mapState()};

    pickTile(0xA);
    clickCell(3);
    states.push_back(mapState());
    pickTile(0x1A);
    drag({20, 21, 22, 23, 24});
    states.push_back(mapState());
    pickTile(0xFF);
    clickCell(100);
    states.push_back(mapState());
    clearScreen();
    states.push_back(mapState());

    // Each gesture made its own change.
    for (size_t i = 1; i < states.size(); ++i)
        EXPECT_NE(states[i], states[i - 1]) << "gesture " << i;
    for (int cell : {20, 21, 22, 23, 24})
        EXPECT_EQ(states[2].codes[cell - 1], QStringLiteral("1A"));
    EXPECT_EQ(states[4].codes, QStringList(wmb::MapCells, QStringLiteral("0")));

    // Undo three times, redo once; each state is shown, stored and saved.
    const std::pair<std::function<void()>, size_t> walk[] = {
        {[&] { undo(); }, 3}, {[&] { undo(); }, 2}, {[&] { undo(); }, 1},
        {[&] { redo(); }, 2}};
    for (const auto &[action, expected] : walk) {
        action();
        const MapState now = mapState();
        ASSERT_EQ(now, states[expected]) << "expected state " << expected;
        expectPicturesMatchCodes(now);
        keys(Qt::CTRL | Qt::Key_S);
        EXPECT_EQ(romMap(), mapBytes(states[expected])) << "state " << expected;
        // Nothing outside the map changes: the loaded texts and timer come back as they were.
        QByteArray rest = romBytes();
        rest.replace(wmb::LevelBaseOf(1), wmb::MapCells, original.mid(wmb::LevelBaseOf(1), wmb::MapCells));
        EXPECT_EQ(rest, original);
    }
    EXPECT_TRUE(dialogs.errors.isEmpty());
    // Ctrl+Shift+Z redoes too.
    keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    EXPECT_EQ(mapState(), states[3]);
    keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    EXPECT_EQ(mapState(), states[4]);
    keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);  // nothing left to redo
    EXPECT_EQ(mapState(), states[4]);
}

TEST_F(HistoryTest, AClickThatChangesNothingMakesNoStep)
{
    startWithLevel(1);
    showActive();
    const MapState loaded = mapState();
    pickTile(0x1A);
    clickCell(5);
    clickCell(5);  // same tile again
    rightClick(7);  // picks cell 7's own tile
    clickCell(7);   // and paints it with it
    undo();
    EXPECT_EQ(mapState(), loaded);
    undo();  // nothing left
    EXPECT_EQ(mapState(), loaded);
}

TEST_F(HistoryTest, ActiveSelectReplacementAndClearScreenAreOneStepEach)
{
    startWithLevel(2);
    showActive();
    const MapState loaded = mapState();
    setActiveSelect(true);
    clickCell(9);     // before any pick: selects only
    pickTile(0x1A);   // replaces cell 9
    const MapState replaced = mapState();
    ASSERT_EQ(replaced.codes[8], QStringLiteral("1A"));
    clearScreen();
    undo();
    EXPECT_EQ(mapState(), replaced);
    undo();
    EXPECT_EQ(mapState(), loaded);
    EXPECT_EQ(selectedCell(), 9);  // undo leaves the selection alone
    redo();
    EXPECT_EQ(mapState(), replaced);
}

// Every way of loading a level starts a fresh history.
TEST_F(HistoryTest, LoadingALevelStartsAFreshHistory)
{
    const QString levelFile = dir.filePath(QStringLiteral("two.level"));
    const std::pair<const char *, std::function<void()>> loads[] = {
        {"Reload level", [this] { reload(); }},
        {"<", [this] { clickButton("Button3"); }},
        {">", [this] { clickButton("Button4"); }},
        {"Open ROM", [this] { openRom(); }},
        {"Ctrl+O", [this] {
             dialogs.fileAnswers.push_back(romPath);
             keys(Qt::CTRL | Qt::Key_O);
         }},
        {"Import level", [&, this] {
             dialogs.fileAnswers.push_back(levelFile);
             clickButton("Button28");
         }},
    };
    startWithLevel(2);
    showActive();
    dialogs.fileAnswers.push_back(levelFile);
    clickButton("Button27");  // a level file of level 2 to import
    ASSERT_TRUE(QFile::exists(levelFile));

    for (const auto &[name, load] : loads) {
        loadLevel(2);
        pickTile(0x1A);
        clickCell(1);
        clearScreen();
        load();
        ASSERT_TRUE(dialogs.errors.isEmpty()) << name;
        const MapState loaded = mapState();
        const QList<QAction *> edit = menu(QStringLiteral("Edit"))->actions();  // Undo and Redo: nothing to act on
        EXPECT_FALSE(edit[0]->isEnabled() || edit[1]->isEnabled()) << name;
        undo();
        EXPECT_EQ(mapState(), loaded) << name;
        redo();
        EXPECT_EQ(mapState(), loaded) << name;
    }
}

TEST_F(HistoryTest, DragPaintsEveryCellItEntersAsOneStep)
{
    startWithLevel(1);
    showActive();
    const MapState loaded = mapState();
    pickTile(0x1A);
    // Right along row 2, then down column 14 in one fast move, and back
    // into a gap: every cell on the way is painted.
    pressAt(cellCentre(15));
    moveTo(cellCentre(28));
    moveTo(cellCentre(168));
    moveTo(cellCentre(168) + QPoint(17, 0));  // the gap right of the map
    releaseAt(cellCentre(168) + QPoint(17, 0));

    std::vector<int> painted;
    for (int n = 15; n <= 28; ++n)
        painted.push_back(n);
    for (int n = 42; n <= 168; n += 14)
        painted.push_back(n);
    const MapState after = mapState();
    for (int n = 1; n <= wmb::MapCells; ++n) {
        const bool expected = std::find(painted.begin(), painted.end(), n) != painted.end();
        EXPECT_EQ(after.codes[n - 1], expected ? QStringLiteral("1A") : loaded.codes[n - 1])
            << "cell " << n;
    }
    expectPicturesMatchCodes(after);
    EXPECT_EQ(selectedCell(), 168);
    EXPECT_EQ(redFrame(), QPoint(436, 370));
    undo();
    EXPECT_EQ(mapState(), loaded);
    redo();
    EXPECT_EQ(mapState(), after);
}

TEST_F(HistoryTest, DiagonalFastMoveLeavesNoHoleInTheStroke)
{
    start();
    showActive();
    clearScreen();  // every cell "0"
    pickTile(0x1);
    pressAt(cellCentre(1));
    moveTo(cellCentre(168));
    releaseAt(cellCentre(168));
    // Each row of the path is entered; consecutive painted cells touch.
    int previous = 0;
    for (int n = 1; n <= wmb::MapCells; ++n) {
        if (shownCode(n) != QStringLiteral("1"))
            continue;
        if (previous != 0) {
            const int dr = (n - 1) / 14 - (previous - 1) / 14;
            const int dc = (n - 1) % 14 - (previous - 1) % 14;
            EXPECT_LE(dr, 1) << previous << " -> " << n;
            EXPECT_LE(std::abs(dc), 1) << previous << " -> " << n;
        }
        previous = n;
    }
    EXPECT_EQ(shownCode(1), QStringLiteral("1"));
    EXPECT_EQ(previous, 168);
}

TEST_F(HistoryTest, DragBeforeAnyPickOnlyMovesTheSelection)
{
    startWithLevel(1);
    showActive();
    const MapState loaded = mapState();
    drag({30, 31, 45});
    EXPECT_EQ(mapState(), loaded);
    EXPECT_EQ(selectedCell(), 45);
    EXPECT_EQ(redFrame(), cellRect(45).topLeft() - QPoint(1, 1));
}

TEST_F(HistoryTest, RightClickPicksTheCellsTileAsThePaletteWould)
{
    startWithLevel(1);
    showActive();
    pickTile(0x1A);
    clickCell(40);
    setActiveSelect(true);
    clickCell(2);     // the cell Active select would replace
    pickTile(0x4);    // Active select: cell 2 now shows tile 4
    const MapState before = mapState();

    rightClick(40);  // shows 1A
    EXPECT_EQ(pickedPicture(), 27);
    EXPECT_EQ(pickedCode(), QStringLiteral("1A"));
    EXPECT_EQ(greenFrame(), paletteRect(0x1A).topLeft() - QPoint(1, 1));
    EXPECT_EQ(mapState(), before);   // no Active select replacement
    EXPECT_EQ(selectedCell(), 2);

    setActiveSelect(false);
    clickCell(41);
    EXPECT_EQ(shownCode(41), QStringLiteral("1A"));
    EXPECT_EQ(cellPicture(41), tileImage(QStringLiteral("1A")));
}

TEST_F(HistoryTest, RightClickOnACellWithoutAStoreTextPicksNothing)
{
    start();
    showActive();
    rightClick(10);
    EXPECT_EQ(pickedPicture(), 0);
    EXPECT_EQ(pickedCode(), QString());
    EXPECT_EQ(greenFrame(), QPoint(-100, -100));
    EXPECT_EQ(selectedCell(), 0);
}

TEST_F(HistoryTest, ShortcutsRunOpenRomAndSaveOnlyWhileTheirButtonsAreEnabled)
{
    start();
    showActive();
    const QByteArray original = romBytes();
    keys(Qt::CTRL | Qt::Key_S);  // no ROM yet: Save level is disabled
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(romBytes(), original);

    dialogs.fileAnswers.push_back(romPath);
    keys(Qt::CTRL | Qt::Key_O);
    ASSERT_EQ(dialogs.fileCalls.size(), 1u);
    EXPECT_EQ(dialogs.fileCalls[0].dialog, QStringLiteral("OpenDialog1"));
    ASSERT_TRUE(control("Button5")->isEnabled());

    pickTile(0x1A);
    clickCell(8);
    keys(Qt::CTRL | Qt::Key_S);
    EXPECT_EQ(romBytes().at(wmb::LevelBaseOf(1) + 7), 0x1A);
}

// In a text edit the keys undo and redo the edit's text, never the map.
TEST_F(HistoryTest, TextEditsKeepTheirOwnUndo)
{
    startWithLevel(1);
    showActive();
    box(AuthorBox)->setFocus();
    pickTile(0x1A);  // a palette press takes the focus from the edit too
    EXPECT_FALSE(box(AuthorBox)->hasFocus());
    clickCell(8);
    clickCell(9);
    undo();  // the map: cell 9 back, its paint left to redo
    const MapState onMap = mapState();
    ASSERT_EQ(onMap.codes[7], QStringLiteral("1A"));
    ASSERT_NE(onMap.codes[8], QStringLiteral("1A"));

    box(NameBox)->setFocus();
    ASSERT_TRUE(box(NameBox)->hasFocus());
    box(NameBox)->selectAll();
    QTest::keyClicks(box(NameBox), QStringLiteral("Zed"));
    ASSERT_EQ(field(NameBox), QStringLiteral("Zed"));
    undo();
    const QString undone = field(NameBox);
    EXPECT_NE(undone, QStringLiteral("Zed"));
    EXPECT_EQ(mapState(), onMap);
    for (QKeyCombination redoKeys : {Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::SHIFT | Qt::Key_Z}) {
        keys(redoKeys);
        EXPECT_EQ(field(NameBox), QStringLiteral("Zed"));
        EXPECT_EQ(mapState(), onMap);
        undo();
        EXPECT_EQ(field(NameBox), undone);
        EXPECT_EQ(mapState(), onMap);
    }
    // Where the desktop's key scheme leaves a key to the window, the window's
    // own undo and redo still act on the edit that has the focus.
    redoCommand();
    EXPECT_EQ(field(NameBox), QStringLiteral("Zed"));
    undoCommand();
    EXPECT_EQ(field(NameBox), undone);
    EXPECT_EQ(mapState(), onMap);

    // A press on the map takes the focus from the edit: the keys act on the
    // map again.
    rightClick(50);
    EXPECT_FALSE(box(NameBox)->hasFocus());
    redo();
    EXPECT_EQ(mapState().codes[8], QStringLiteral("1A"));
    undo();
    undo();
    EXPECT_NE(mapState().codes[7], QStringLiteral("1A"));
    EXPECT_EQ(field(NameBox), undone);
}

} // namespace
