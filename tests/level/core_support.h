// Helpers for the level core tests: real files in a temporary folder, and
// running a check in a child process (to drop privileges or set limits).
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace wmbtest {

#ifdef _WIN32
inline constexpr bool OnWindows = true;
// A device that opens as a file name.
inline const std::string NullDevice = "NUL";
#else
inline constexpr bool OnWindows = false;
inline const std::string NullDevice = "/dev/null";
#endif

using Bytes = std::vector<std::uint8_t>;

// A new empty folder under the system's temporary folder: prefix + digits.
inline std::filesystem::path makeTempFolder(const std::string &prefix)
{
    std::random_device seed;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto path = std::filesystem::temp_directory_path() / (prefix + std::to_string(seed()));
        if (std::filesystem::create_directory(path))
            return path;
    }
    std::abort();
}

class TempFolder {
public:
    TempFolder() : mPath(makeTempFolder("wmbcore.")) {}
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(mPath, ignored);
    }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    std::string path() const { return mPath.string(); }
    std::string file(const std::string &name) const { return (mPath / name).string(); }

private:
    std::filesystem::path mPath;
};

inline void writeBytes(const std::string &path, const Bytes &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline Bytes readBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline Bytes randomBytes(std::size_t n, unsigned seed)
{
    std::mt19937 gen(seed);
    Bytes bytes(n);
    for (auto &b : bytes)
        b = static_cast<std::uint8_t>(gen());
    return bytes;
}

#ifdef _WIN32
// Sets or clears the read-only attribute. Setting it returns whether it
// binds this process: it binds every user on Windows, but not root under Wine.
inline bool setReadOnly(const std::string &path, bool readOnly)
{
    using std::filesystem::perms;
    std::filesystem::permissions(path, perms::owner_write,
                                 readOnly ? std::filesystem::perm_options::remove : std::filesystem::perm_options::add);
    std::FILE *f = std::fopen(path.c_str(), "r+b");
    if (f)
        std::fclose(f);
    return f == nullptr;
}
#endif

#ifndef _WIN32
// Runs check in a forked child and returns its exit status (the check's
// return value), or -1 when the child died otherwise.
inline int runInChild(const std::function<int()> &check)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(check());
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}
#endif

} // namespace wmbtest
