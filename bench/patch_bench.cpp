// Patches of a 1 MiB image with 10 KB changed: a BPS patch made and applied,
// beside reading the two files it is made from (the floor of both).
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <random>
#include <string>

#include "bps.h"
#include "wholefile.h"

namespace {

struct PatchFiles {
    QTemporaryDir dir;
    std::string original, modified, patch;
    std::string originalPath, modifiedPath;

    PatchFiles()
    {
        std::mt19937 rng(31);
        original.resize(std::size_t{1} << 20);
        for (char &c : original)
            c = static_cast<char>(rng() % 64);   // repeats, as a ROM image's data has
        modified = original;
        // 10 KB changed: 40 runs of 256 bytes, half new bytes, half moved.
        for (int k = 0; k < 40; ++k) {
            const std::size_t at = rng() % (modified.size() - 256);
            for (std::size_t i = 0; i < 256; ++i)
                modified[at + i] = k % 2 ? original[(at + 4096 + i) % original.size()] : static_cast<char>(rng());
        }
        originalPath = dir.filePath(QStringLiteral("original.nes")).toStdString();
        modifiedPath = dir.filePath(QStringLiteral("modified.nes")).toStdString();
        wmb::writeFileAtomically(originalPath, original);
        wmb::writeFileAtomically(modifiedPath, modified);
        patch = wmb::makeBps(original, modified);
    }
};

PatchFiles &files()
{
    static PatchFiles f;
    return f;
}

void ReadTwoFiles(benchmark::State &state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(wmb::readWholeFile(files().originalPath));
        benchmark::DoNotOptimize(wmb::readWholeFile(files().modifiedPath));
    }
}

void CreateBps(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(wmb::makeBps(files().original, files().modified));
    state.counters["patch_bytes"] = static_cast<double>(files().patch.size());
}

void ApplyBps(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(wmb::applyBps(files().original, files().patch, "original.nes"));
}

} // namespace

void registerPatchBenchmarks()
{
    using Body = void (*)(benchmark::State &);
    const std::pair<const char *, Body> benchmarks[] = {{"Patch/read_two_files_1MiB", ReadTwoFiles},
                                                        {"Patch/create_bps_1MiB_10KB", CreateBps},
                                                        {"Patch/apply_bps_1MiB_10KB", ApplyBps}};
    for (const auto &[name, fn] : benchmarks)
        benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kMicrosecond);
}
