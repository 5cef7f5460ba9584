// Start-up as a user meets it: from fork() to the first expose of the
// window, for the editor and for a bare Qt window, each started as its own
// process; its peak resident memory comes from wait4's resource usage.
#include "summary.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int StartsPerProgram = 15;

std::int64_t monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
}

struct Start {
    double seconds = 0;
    long peakKiB = 0;
    std::string error;
};

// Runs the program in `folder` (a folder without a "graph" folder, so the
// editor uses its shipped tile set) and reads the time it reports.
Start startOnce(const std::string &program, const std::string &folder)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return {0, 0, "pipe failed"};
    const std::int64_t before = monotonicNs();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDERR_FILENO);   // the offscreen platform's notices
        if (chdir(folder.c_str()) != 0)
            _exit(126);
        execl(program.c_str(), program.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return {0, 0, "fork failed"};
    }
    std::string text;
    char buf[64];
    for (;;) {
        const ssize_t got = read(fds[0], buf, sizeof buf);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        text.append(buf, static_cast<std::size_t>(got));
    }
    close(fds[0]);
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || text.empty())
        return {0, 0, program + " did not report its first expose (status " + std::to_string(status) + ")"};
    return {static_cast<double>(std::stoll(text) - before) / 1e9, usage.ru_maxrss, {}};
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Each iteration starts the bare window, the window with one label, then the
// editor, so all three meet the same machine state; the iteration's time is
// the editor's.
void startup(benchmark::State &state)
{
    const std::string folderOfPrograms = QCoreApplication::applicationDirPath().toStdString();
    const std::vector<std::string> programs = {folderOfPrograms + "/startup_bare",
                                               folderOfPrograms + "/startup_label",
                                               folderOfPrograms + "/startup_editor"};
    const std::vector<std::string> labels = {"bare", "label", "editor"};
    QTemporaryDir folder;
    const std::string where = folder.path().toStdString();
    // Unmeasured starts first, so all meet warm file caches.
    for (int i = 0; i < 2; ++i) {
        for (const std::string &program : programs)
            startOnce(program, where);
    }
    std::vector<std::vector<double>> times(programs.size());
    std::vector<long> peaks(programs.size(), 0);
    for (auto _ : state) {
        for (std::size_t i = 0; i < programs.size(); ++i) {
            const Start s = startOnce(programs[i], where);
            if (!s.error.empty()) {
                state.SkipWithError(s.error.c_str());
                return;
            }
            times[i].push_back(s.seconds * 1e3);
            peaks[i] = std::max(peaks[i], s.peakKiB);
            if (i + 1 == programs.size())
                state.SetIterationTime(s.seconds);
        }
    }
    for (std::size_t i = 0; i < programs.size(); ++i) {
        state.counters[labels[i] + "_ms"] = median(times[i]);
        state.counters[labels[i] + "_rss_MiB"] = static_cast<double>(peaks[i]) / 1024.0;
    }
    state.counters["ratio"] = median(times[2]) / median(times[0]);
}

} // namespace

void registerStartupBenchmarks()
{
    benchmark::RegisterBenchmark("Startup", startup)
        ->UseManualTime()
        ->Iterations(StartsPerProgram)
        ->Unit(benchmark::kMillisecond);
}
