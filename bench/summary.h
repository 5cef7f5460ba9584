// The benchmarks' summary: the console report as usual, then the figures
// the targets are about (load against its floor, clicks, start-up against a
// bare Qt window) as markdown tables with each target met or missed.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <ostream>
#include <string>

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override;

    // Prints the tables; returns false when a target was missed.
    bool printSummary(std::ostream &out) const;

private:
    struct Result {
        double ms = 0;      // wall time per iteration
        double cpuMs = 0;   // CPU time of the process per iteration
        std::map<std::string, double> counters;
    };
    const Result *find(const std::string &name) const;
    std::map<std::string, Result> mResults;
};

// Benchmarks of the start-up (startup.cpp), registered by main.
void registerStartupBenchmarks();
