// Undo and redo of map edits, drag-painting, picking a tile from the map and
// the window's shortcuts, driven with real mouse and key events.
#include "mapfixture.h"

#include <QLineEdit>

#include <functional>

#include "maphistory.h"

namespace {

// The history on its own, with pictures as plain numbers.
using History = wmb::MapHistory<int>;
using Cell = wmb::MapCellState<int>;

std::vector<int> cellsOf(const History::Step &step)
{
    std::vector<int> cells;
    for (const auto &c : step)
        cells.push_back(c.cell);
    return cells;
}

TEST(MapHistory, AStepMergesRepeatedChangesOfACellAndDropsEmptySteps)
{
    History h;
    h.begin();
    EXPECT_FALSE(h.commit());  // nothing noted: no step
    EXPECT_FALSE(h.canUndo());

    h.begin();
    h.note(3, {"0", 0}, {"A", 10});
    h.note(4, {"1", 1}, {"A", 10});
    h.note(3, {"A", 10}, {"B", 11});
    EXPECT_TRUE(h.commit());
    ASSERT_EQ(h.undoCount(), 1u);
    const History::Step *step = h.undo();
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(cellsOf(*step), (std::vector<int>{3, 4}));
    EXPECT_EQ((*step)[0].before.code, "0");
    EXPECT_EQ((*step)[0].after.code, "B");
    EXPECT_EQ((*step)[0].after.picture, 11);
    EXPECT_EQ(h.undo(), nullptr);
    ASSERT_NE(h.redo(), nullptr);
    EXPECT_EQ(h.redo(), nullptr);
}

TEST(MapHistory, ANewStepClearsRedoAndTheOldestStepsFallOffTheLimit)
{
    History h(3);
    for (int cell = 1; cell <= 5; ++cell)
        h.note(cell, {"0", 0}, {"1", 1});  // outside a gesture: one step each
    EXPECT_EQ(h.undoCount(), 3u);
    EXPECT_EQ(cellsOf(*h.undo()), std::vector<int>{5});
    EXPECT_EQ(cellsOf(*h.undo()), std::vector<int>{4});
    EXPECT_EQ(h.redoCount(), 2u);
    h.note(9, {"0", 0}, {"2", 2});
    EXPECT_FALSE(h.canRedo());
    EXPECT_EQ(cellsOf(*h.undo()), std::vector<int>{9});
    EXPECT_EQ(cellsOf(*h.undo()), std::vector<int>{3});
    EXPECT_EQ(h.undo(), nullptr);
}

TEST(MapHistory, UndoClosesAnOpenStepAndClearDropsIt)
{
    History h;
    h.begin();
    h.note(7, {"0", 0}, {"1", 1});
    EXPECT_TRUE(h.canUndo());
    EXPECT_EQ(cellsOf(*h.undo()), std::vector<int>{7});
    EXPECT_FALSE(h.recording());

    h.begin();
    h.note(8, {"0", 0}, {"1", 1});
    h.clear();
    EXPECT_FALSE(h.recording());
    EXPECT_FALSE(h.commit());
    EXPECT_FALSE(h.canUndo());
    EXPECT_FALSE(h.canRedo());
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

    control("Button2")->setEnabled(false);
    keys(Qt::CTRL | Qt::Key_O);
    EXPECT_EQ(dialogs.fileCalls.size(), 1u);
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
