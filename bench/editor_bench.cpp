// Benchmarks of the real window, offscreen: FormCreate, level loads beside
// their floor, save, export, import, clicks and the level overview. Every action works on a copy
// of the demo ROM in a temporary folder; a window action counts until what
// it changed has been painted.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QSignalBlocker>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <set>

#include "backups.h"
#include "bmpimage.h"
#include "fakedialogs.h"
#include "hexcode.h"
#include "leveldocument.h"
#include "leveloverview.h"
#include "offscreen.h"
#include "levelrecord.h"
#include "mapview.h"
#include "romfile.h"
#include "summary.h"
#include "tform1.h"
#include "tilefolder.h"

// Defined in patch_bench.cpp.
void registerPatchBenchmarks();

namespace {

// The temporary folder: a copy of the demo ROM and a level file to import.
struct Workspace {
    QTemporaryDir dir;
    QString rom;
    QString levelFile;
    QString exportFile;
};
Workspace *workspace = nullptr;

QString tileFolder() { return QCoreApplication::applicationDirPath() + QStringLiteral("/graph"); }

// The window as a user has it: started in the temporary folder (which has no
// tile folder, so the shipped set is used), shown and painted.
class Window {
public:
    FakeDialogs dialogs;
    std::unique_ptr<TForm1> form;
    // The controls the benchmarks use, found by name before any timing.
    MapView *map = nullptr;
    PaletteView *palette = nullptr;
    QLineEdit *Edit1 = nullptr;
    QCheckBox *CheckBox1 = nullptr;

    // With the ROM copy opened (level 1 loaded), at `zoom` percent (kept in
    // the settings, as a user's last zoom is).
    explicit Window(int zoom = 100)
    {
        EditorSettings().setZoom(zoom);
        form = std::make_unique<TForm1>(
            dialogs, StartupPaths{workspace->dir.path(), QCoreApplication::applicationDirPath()});
        map = form->findChild<MapView *>();
        palette = form->findChild<PaletteView *>();
        Edit1 = form->findChild<QLineEdit *>(QStringLiteral("Edit1"));
        CheckBox1 = form->findChild<QCheckBox *>(QStringLiteral("CheckBox1"));
        form->show();
        (void)QTest::qWaitForWindowExposed(form.get());
        dialogs.fileAnswers.push_back(workspace->rom);
        form->Button2Click();
        settle();
        if (form->findChild<QLabel *>(QStringLiteral("ZoomLevel"))->text() != QStringLiteral("%1 %").arg(zoom))
            dialogs.errors << QStringLiteral("the window did not start at %1 %").arg(zoom);
    }

    // A click on map cell n (1..168) or palette picture n (1..256).
    void clickCell(int n) { click(map, n); }
    void clickPicture(int n) { click(palette, n); }
    static void click(TileView *view, int n)
    {
        QTest::mouseClick(view, Qt::LeftButton, {}, view->localRect(n).center());
    }

    // Paints what the last action changed.
    static void settle() { QCoreApplication::processEvents(); }

    // Marks the benchmark failed when an action showed an error: a failed
    // action is not what was meant to be timed.
    void ok(benchmark::State &state) const
    {
        if (!dialogs.errors.isEmpty())
            state.SkipWithError(dialogs.errors.join(QStringLiteral("; ")).toStdString().c_str());
    }
};

void FormCreate(benchmark::State &state)
{
    FakeDialogs dialogs;
    const StartupPaths paths{workspace->dir.path(), QCoreApplication::applicationDirPath()};
    for (auto _ : state) {
        auto form = std::make_unique<TForm1>(dialogs, paths);
        state.PauseTiming();
        form.reset();
        state.ResumeTiming();
    }
    if (!dialogs.errors.isEmpty())
        state.SkipWithError(dialogs.errors.join(QStringLiteral("; ")).toStdString().c_str());
}

// Out of line so that a profiler can be told to count it alone.
[[gnu::noinline]] void loadAndPaint(TForm1 &form)
{
    form.Button1Click();
    Window::settle();
}

void Load(benchmark::State &state, int level, int zoom)
{
    Window w(zoom);
    w.Edit1->setText(QString::number(level));
    for (auto _ : state)
        loadAndPaint(*w.form);
    w.ok(state);
}

// The handler alone; the painting it causes is left out of the time.
void LoadHandler(benchmark::State &state, int level)
{
    Window w;
    w.Edit1->setText(QString::number(level));
    for (auto _ : state) {
        w.form->Button1Click();
        state.PauseTiming();
        Window::settle();
        state.ResumeTiming();
    }
    w.ok(state);
}

// Painting the whole window, for comparison with what a load paints.
void Repaint(benchmark::State &state)
{
    Window w;
    for (auto _ : state) {
        w.form->update();
        Window::settle();
    }
    w.ok(state);
}

// The least a load must do: read the record and decode each distinct tile
// picture the level shows once.
void LoadFloor(benchmark::State &state, int level)
{
    wmb::RomFile rom;
    rom.assign(workspace->rom.toStdString());
    rom.open();
    const std::string folder = tileFolder().toStdString();
    const std::int32_t base = wmb::LevelBaseOf(level);
    for (auto _ : state) {
        const wmb::LevelRecord record = wmb::readLevelRecord(rom, base);
        const std::set<std::uint8_t> distinct(record.tiles.begin(), record.tiles.end());
        for (const std::uint8_t tile : distinct) {
            const std::string code = wmb::IntToHexText(tile);
            benchmark::DoNotOptimize(
                wmb::loadBmpFile(wmb::tilePicturePath(folder, code), wmb::tilePictureName(code)));
        }
    }
    const wmb::LevelRecord record = wmb::readLevelRecord(rom, base);
    state.counters["pictures"] =
        static_cast<double>(std::set<std::uint8_t>(record.tiles.begin(), record.tiles.end()).size());
}

void Save(benchmark::State &state)
{
    Window w;
    for (auto _ : state) {
        w.form->Button5Click();
        Window::settle();
    }
    w.ok(state);
}

// A save with the backup the first write of a run makes (the clock moves on
// ten minutes at each save, so each one is due a backup), and one after it,
// when none is due.
void SaveWithBackup(benchmark::State &state, bool due)
{
    Window w;
    std::int64_t now = 1'796'847'245'000;
    w.form->document().backups().setClock([&] { return due ? now += wmb::BackupIntervalMs : now; });
    w.form->Button5Click();   // the run's first write, outside the timing
    const std::size_t before = w.form->document().backups().of(w.form->document().imagePath()).size();
    for (auto _ : state) {
        w.form->Button5Click();
        Window::settle();
    }
    const std::size_t after = w.form->document().backups().of(w.form->document().imagePath()).size();
    if (due ? after == before && before < 20 : after != before)
        w.dialogs.errors << QStringLiteral("the saves made %1 backups").arg(after - before);
    w.ok(state);
}

// The core's write of one record, with and without its fsync.
void WriteLevelRecord(benchmark::State &state, bool durable)
{
    wmb::RomFile rom;
    rom.assign(workspace->rom.toStdString());
    rom.open();
    const std::int32_t base = wmb::LevelBaseOf(1);
    const wmb::LevelRecord record = wmb::readLevelRecord(rom, base);
    for (auto _ : state)
        wmb::writeLevelRecord(rom, base, record, durable);
}

void Export(benchmark::State &state)
{
    Window w;
    for (auto _ : state) {
        w.dialogs.fileAnswers.push_back(workspace->exportFile);
        w.dialogs.okAnswers.push_back(true);   // "File exists, rewrite?"
        w.form->Button27Click();
    }
    w.ok(state);
}

void Import(benchmark::State &state)
{
    Window w;
    for (auto _ : state) {
        w.dialogs.fileAnswers.push_back(workspace->levelFile);
        w.form->Button28Click();
        Window::settle();
    }
    w.ok(state);
}

// Clicks alternate between two palette pictures (or map cells), so that
// every click changes what is shown.
void PaletteClick(benchmark::State &state, bool activeSelect)
{
    Window w;
    w.form->HidemenuClick();   // the palette opened, as a user has it
    w.CheckBox1->setChecked(activeSelect);
    w.clickCell(21);   // the cell Active select replaces
    Window::settle();
    int i = 0;
    for (auto _ : state) {
        w.clickPicture((i++ & 1) ? 18 : 43);
        Window::settle();
    }
    w.ok(state);
}

void MapClick(benchmark::State &state, int zoom)
{
    Window w(zoom);
    w.form->HidemenuClick();
    w.clickPicture(43);
    Window::settle();
    int i = 0;
    for (auto _ : state) {
        w.clickCell((i++ & 1) ? 31 : 32);
        Window::settle();
    }
    w.ok(state);
}

// The level overview beside the window, shown and painted.
LevelOverview &openOverview(Window &w)
{
    for (QAction *action : w.form->findChildren<QAction *>())
        if (action->text() == QStringLiteral("Level &overview"))
            action->trigger();
    LevelOverview *overview = w.form->findChild<LevelOverview *>();
    (void)QTest::qWaitForWindowExposed(overview);
    Window::settle();
    return *overview;
}

// All 32 pictures drawn anew from the scaled tile pictures, and painted.
void OverviewAllLevels(benchmark::State &state, int zoom)
{
    Window w(zoom);
    LevelOverview &overview = openOverview(w);
    for (auto _ : state) {
        overview.forgetPictures();
        overview.repaint();
    }
    w.ok(state);
}

// What the overview does after an edit of the shown level: that level's
// picture drawn anew from the controls and its place painted.
void OverviewOneLevel(benchmark::State &state)
{
    Window w;
    LevelOverview &overview = openOverview(w);
    int i = 0;
    for (auto _ : state) {
        {
            // The overview alone follows the edit, as it did when the window
            // kept the level.
            const QSignalBlocker quiet(&w.form->document());
            w.form->document().setCell(31, (i++ & 1) ? 0x2A : 0x11);
        }
        overview.reloadShownLevel();
        Window::settle();
    }
    w.ok(state);
}

// A resize that changes the pictures' size: the 256 tile pictures scaled
// anew as the levels need them, all 32 drawn and painted.
void OverviewResize(benchmark::State &state)
{
    Window w;
    LevelOverview &overview = openOverview(w);
    const QSize first = overview.size();
    int i = 0;
    for (auto _ : state) {
        overview.resize((i++ & 1) ? first : first * 3 / 2);
        overview.repaint();
    }
    w.ok(state);
}

// A map click that changes the cell's tile, with the overview open or not:
// the windows painted. The tile is picked, alternately, outside the time.
void MapClickChangingTile(benchmark::State &state, bool overview)
{
    Window w;
    if (overview)
        openOverview(w);
    w.form->HidemenuClick();
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w.form->PicClick((i++ & 1) ? 18 : 43);
        Window::settle();
        state.ResumeTiming();
        w.clickCell(31);
        Window::settle();
    }
    w.ok(state);
}

void registerWindowBenchmarks()
{
    auto add = [](const std::string &name, auto &&fn) {
        benchmark::RegisterBenchmark(name.c_str(), fn)->Unit(benchmark::kMicrosecond);
    };
    add("FormCreate", FormCreate);
    for (int level = 1; level <= wmb::LevelCount; ++level) {
        const std::string n = std::to_string(level);
        add("Load/" + n, [level](benchmark::State &s) { Load(s, level, 100); });
        add("Load/" + n + "/zoom:200", [level](benchmark::State &s) { Load(s, level, 200); });
        add("LoadHandler/" + n, [level](benchmark::State &s) { LoadHandler(s, level); });
        add("LoadFloor/" + n, [level](benchmark::State &s) { LoadFloor(s, level); });
    }
    add("Repaint/whole_window", Repaint);
    add("Save", Save);
    add("Save/with_backup", [](benchmark::State &s) { SaveWithBackup(s, true); });
    add("Save/no_backup_due", [](benchmark::State &s) { SaveWithBackup(s, false); });
    add("WriteLevelRecord/durable", [](benchmark::State &s) { WriteLevelRecord(s, true); });
    add("WriteLevelRecord/no_sync", [](benchmark::State &s) { WriteLevelRecord(s, false); });
    add("Export", Export);
    add("Import", Import);
    add("PaletteClick", [](benchmark::State &s) { PaletteClick(s, false); });
    add("PaletteClick/active_select", [](benchmark::State &s) { PaletteClick(s, true); });
    for (int zoom : {100, 200}) {
        const std::string at = zoom == 100 ? "" : "/zoom:" + std::to_string(zoom);
        add("MapClick" + at, [zoom](benchmark::State &s) { MapClick(s, zoom); });
        add("Overview/all_levels" + at, [zoom](benchmark::State &s) { OverviewAllLevels(s, zoom); });
    }
    add("Overview/one_level", OverviewOneLevel);
    add("Overview/resize", OverviewResize);
    add("MapClick/new_tile", [](benchmark::State &s) { MapClickChangingTile(s, false); });
    add("MapClick/new_tile_with_overview", [](benchmark::State &s) { MapClickChangingTile(s, true); });
}

// The level file the import benchmark reads: level 2 exported, so the import
// writes it over level 1 each time.
bool prepareWorkspace(Workspace &ws)
{
    if (!ws.dir.isValid())
        return false;
    ws.rom = ws.dir.filePath(QStringLiteral("demo.nes"));
    ws.levelFile = ws.dir.filePath(QStringLiteral("level_2.level"));
    ws.exportFile = ws.dir.filePath(QStringLiteral("export.level"));
    if (!QFile::copy(QStringLiteral(WMB_DEMO_ROM), ws.rom))
        return false;
    QFile::setPermissions(ws.rom, QFile::ReadOwner | QFile::WriteOwner);
    Window w;
    w.Edit1->setText(QStringLiteral("2"));
    w.form->Button1Click();
    w.dialogs.fileAnswers.push_back(ws.levelFile);
    w.form->Button27Click();
    w.Edit1->setText(QStringLiteral("1"));
    w.form->Button1Click();
    return w.dialogs.errors.isEmpty() && QFile::exists(ws.levelFile);
}

// The offscreen platform's notice on every shown window would drown the report.
void quietMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QStringLiteral("propagateSizeHints")))
        return;
    std::cerr << qPrintable(qFormatLogMessage(type, context, message)) << "\n";
}

} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(quietMessages);
    // The recent-files list and the dialogs' folders go to a throw-away home.
    QTemporaryDir home;
    if (!useRoomyOffscreenScreen(home.path()))
        return 1;
    setenv("HOME", home.path().toLocal8Bit().constData(), 1);
    setenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/.config")).toLocal8Bit().constData(), 1);
    // The backups of the saves too.
    setenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/.local/share")).toLocal8Bit().constData(), 1);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("WMBeditor"));   // the data folder's name, as the editor's
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    Workspace ws;
    workspace = &ws;
    if (!prepareWorkspace(ws)) {
        std::cerr << "editor_bench: cannot prepare the temporary folder with the demo ROM\n";
        return 1;
    }
    registerWindowBenchmarks();
    registerPatchBenchmarks();
    registerStartupBenchmarks();

    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary(std::cout);
    benchmark::Shutdown();
    return 0;
}
