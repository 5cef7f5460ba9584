#include "summary.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "levelrecord.h"

namespace {

// Targets: every click and a load under 2 ms, a load (handler, and until
// painted at 100 % and 200 %) within 3x its floor, start-up within 1.25x the
// bare Qt window showing one label, peak memory within 1.15x the bare
// window's, a map click that changes a tile under 0.05 ms, the whole
// overview under 8 ms.
constexpr double ActionLimitMs = 2.0;
constexpr double LoadFloorLimit = 3.0;
constexpr double StartupLimit = 1.25;
constexpr double MemoryLimit = 1.15;
constexpr double TileClickLimitMs = 0.05;
// The whole level overview well under one frame (16.7 ms at 60 Hz).
constexpr double OverviewLimitMs = 8.0;

std::string format(const char *fmt, double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, v);
    return buf;
}

const char *verdict(bool met) { return met ? "met" : "**missed**"; }

double worst(const std::vector<double> &v) { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

void SummaryReporter::ReportRuns(const std::vector<Run> &runs)
{
    for (const Run &run : runs) {
        if (run.error_occurred || run.run_type != Run::RT_Iteration)
            continue;
        // The name as registered, without what the library appends
        // ("/iterations:15", "/manual_time").
        std::string name = run.benchmark_name();
        for (const char *suffix : {"/iterations:", "/manual_time"}) {
            if (const auto at = name.find(suffix); at != std::string::npos)
                name.erase(at);
        }
        const double toMs = 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        Result r;
        r.ms = run.GetAdjustedRealTime() * toMs;
        r.cpuMs = run.GetAdjustedCPUTime() * toMs;
        for (const auto &[key, counter] : run.counters)
            r.counters[key] = counter.value;
        mResults[name] = r;
    }
    ConsoleReporter::ReportRuns(runs);
}

const SummaryReporter::Result *SummaryReporter::find(const std::string &name) const
{
    const auto it = mResults.find(name);
    return it == mResults.end() ? nullptr : &it->second;
}

bool SummaryReporter::printSummary(std::ostream &out) const
{
    bool allMet = true;
    out << "\n## Summary\n\nTimes are per action, wall clock (CPU time of the process beside it). "
           "A window action is timed until what it changed has been painted.\n\n"
           "| Measure | Time (ms) | CPU (ms) | Target | Result |\n|---|---:|---:|---|---|\n";
    auto line = [&](const std::string &label, const std::string &time, const std::string &cpu,
                    const std::string &target, const std::string &result) {
        out << "| " << label << " | " << time << " | " << cpu << " | " << target << " | " << result
            << " |\n";
    };
    auto row = [&](const std::string &label, const std::string &name, bool hasTarget) {
        const Result *r = find(name);
        if (!r)
            return;
        const bool met = r->ms < ActionLimitMs;
        allMet = allMet && (met || !hasTarget);
        line(label, format("%.3f", r->ms), format("%.3f", r->cpuMs), hasTarget ? "< 2 ms" : "",
             hasTarget ? verdict(met) : "");
    };
    row("FormCreate (window built, 257 tile pictures decoded)", "FormCreate", false);

    // Loads: each level's load beside its floor.
    std::vector<double> loads, loadCpus, handlers, handlerRatios, paintedRatios;
    std::string perLevel;
    for (int level = 1; level <= wmb::LevelCount; ++level) {
        const std::string n = std::to_string(level);
        const Result *load = find("Load/" + n);
        const Result *handler = find("LoadHandler/" + n);
        const Result *floor = find("LoadFloor/" + n);
        if (!load || !handler || !floor)
            continue;
        loads.push_back(load->ms);
        loadCpus.push_back(load->cpuMs);
        handlers.push_back(handler->ms);
        handlerRatios.push_back(handler->ms / floor->ms);
        paintedRatios.push_back(load->ms / floor->ms);
        perLevel += "| " + n + " | " + format("%.0f", floor->counters.at("pictures")) + " | " +
                    format("%.3f", floor->ms) + " | " + format("%.3f", handler->ms) + " | " +
                    format("%.3f", load->ms) + " | " + format("%.2f", handlerRatios.back()) + " | " +
                    format("%.2f", paintedRatios.back()) + " |\n";
    }
    if (!loads.empty()) {
        const bool loadMet = worst(loads) < ActionLimitMs;
        const bool ratioMet = worst(handlerRatios) <= LoadFloorLimit;
        allMet = allMet && loadMet && ratioMet;
        line("Level load until painted, slowest of " + std::to_string(loads.size()) + " (median " +
                 format("%.3f", median(loads)) + ")",
             format("%.3f", worst(loads)), format("%.3f", worst(loadCpus)), "< 2 ms", verdict(loadMet));
        line("Level load handler alone, slowest (median " + format("%.3f", median(handlers)) + ")",
             format("%.3f", worst(handlers)), "", "", "");
        line("Level load handler / its floor, worst (median " + format("%.2fx", median(handlerRatios)) +
                 ")",
             format("%.2fx", worst(handlerRatios)), "", "<= 3x", verdict(ratioMet));
        const bool paintedMet = worst(paintedRatios) <= LoadFloorLimit;
        allMet = allMet && paintedMet;
        line("Level load until painted / its floor, worst (median " +
                 format("%.2fx", median(paintedRatios)) + ")",
             format("%.2fx", worst(paintedRatios)), "", "<= 3x", verdict(paintedMet));
    }
    // The same loads with the map at 200 %.
    std::vector<double> zoomedLoads, zoomedRatios;
    for (int level = 1; level <= wmb::LevelCount; ++level) {
        const std::string n = std::to_string(level);
        const Result *load = find("Load/" + n + "/zoom:200");
        const Result *floor = find("LoadFloor/" + n);
        if (!load || !floor)
            continue;
        zoomedLoads.push_back(load->ms);
        zoomedRatios.push_back(load->ms / floor->ms);
    }
    if (!zoomedLoads.empty()) {
        line("Level load until painted at 200 %, slowest of " + std::to_string(zoomedLoads.size()) +
                 " (median " + format("%.3f", median(zoomedLoads)) + ")",
             format("%.3f", worst(zoomedLoads)), "", "", "");
        const bool zoomedMet = worst(zoomedRatios) <= LoadFloorLimit;
        allMet = allMet && zoomedMet;
        line("Level load until painted at 200 % / its floor, worst (median " +
                 format("%.2fx", median(zoomedRatios)) + ")",
             format("%.2fx", worst(zoomedRatios)), "", "<= 3x", verdict(zoomedMet));
    }
    row("Repaint of the whole window", "Repaint/whole_window", false);
    row("Save level (window, with fsync)", "Save", false);
    row("Save level with its backup (first write of a run)", "Save/with_backup", false);
    row("Save level, no backup due", "Save/no_backup_due", false);
    row("Level record write with fsync (core)", "WriteLevelRecord/durable", false);
    row("Level record write without fsync (core)", "WriteLevelRecord/no_sync", false);
    row("Export level", "Export", false);
    row("Import level (write, fsync, reload, paint)", "Import", false);
    row("Read a 1 MiB original and its modified copy (the floor of a patch)", "Patch/read_two_files_1MiB", false);
    row("Create a BPS patch, 1 MiB image, 10 KB changed", "Patch/create_bps_1MiB_10KB", false);
    row("Apply that BPS patch (every check)", "Patch/apply_bps_1MiB_10KB", false);
    row("Palette click", "PaletteClick", true);
    row("Palette click with Active select", "PaletteClick/active_select", true);
    row("Map click (paints the cell)", "MapClick", true);
    row("Map click (paints the cell) at 200 %", "MapClick/zoom:200", true);
    row("Map click changing the cell's tile", "MapClick/new_tile", true);
    if (const Result *click = find("MapClick/new_tile")) {
        const bool met = click->ms <= TileClickLimitMs;
        allMet = allMet && met;
        line("Map click changing the cell's tile, until painted", format("%.3f", click->ms),
             format("%.3f", click->cpuMs), "<= 0.05 ms", verdict(met));
    }
    row("Map click changing the cell's tile, level overview open (both windows painted)",
        "MapClick/new_tile_with_overview", true);
    if (const Result *all = find("Overview/all_levels")) {
        const bool met = all->ms < OverviewLimitMs;
        allMet = allMet && met;
        line("Level overview: all 32 levels drawn anew and painted", format("%.3f", all->ms),
             format("%.3f", all->cpuMs), "< 8 ms", verdict(met));
    }
    row("Level overview: all 32 levels drawn anew and painted, editor at 200 %", "Overview/all_levels/zoom:200", false);
    row("Level overview: the shown level drawn anew after an edit, and painted", "Overview/one_level", false);
    row("Level overview: resized (tile pictures scaled anew, all 32 drawn)", "Overview/resize", false);

    if (const Result *start = find("Startup")) {
        const auto &c = start->counters;
        const double ratio = c.at("editor_ms") / c.at("label_ms");
        const double memory = c.at("editor_rss_MiB") / c.at("bare_rss_MiB");
        const bool met = ratio <= StartupLimit, memoryMet = memory <= MemoryLimit;
        allMet = allMet && met && memoryMet;
        line("Start-up to first expose, bare Qt window (median)", format("%.1f", c.at("bare_ms")), "", "", "");
        line("Start-up to first expose, the bare window with one label (median)",
             format("%.1f", c.at("label_ms")), "", "", "");
        line("Start-up to first expose, editor (median)", format("%.1f", c.at("editor_ms")), "",
             "<= 1.25x the window with one label", format("%.2fx ", ratio) + verdict(met));
        line("Peak resident memory (MiB): bare Qt window / with one label / editor",
             format("%.1f", c.at("bare_rss_MiB")) + " / " + format("%.1f", c.at("label_rss_MiB")) +
                 " / " + format("%.1f", c.at("editor_rss_MiB")),
             "", "<= 1.15x bare", format("%.2fx ", memory) + verdict(memoryMet));
    }

    if (!perLevel.empty())
        out << "\n### Level loads against their floor\n\nThe floor: reading the level record and "
               "decoding the level's distinct tile pictures once each.\n\n"
               "| Level | Pictures | Floor (ms) | Handler (ms) | Until painted (ms) | Handler / floor | "
               "Painted / floor |\n|---:|---:|---:|---:|---:|---:|---:|\n"
            << perLevel;
    out << "\nTargets " << (allMet ? "all met." : "missed: see **missed** above.") << "\n";
    return allMet;
}
