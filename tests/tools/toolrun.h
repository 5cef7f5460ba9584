// Running the built wmbtool in tests, and the files around it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "level/core_support.h"

namespace toolrun {

using wmbtest::NullDevice;
using wmbtest::OnWindows;

// A fresh folder under the system's temporary folder, removed with its
// contents at the end. It is world-searchable so that a tool run as the
// unprivileged user can reach the files in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    const std::string &path() const { return mPath; }
    std::string file(const std::string &name) const { return mPath + "/" + name; }

private:
    std::string mPath;
};

struct ToolResult {
    int status = -1;     // the exit status; -1 when the tool did not exit normally
    std::string out;     // standard output
    std::string err;     // standard error
};

// Runs WMB_BIN_DIR/wmbtool with args in workDir (the test's current folder
// when empty). With asNobody, a run as root drops to user and group 65534
// first, so that file permissions bind it; a run as another user is left as
// it is (chmod binds that user already).
ToolResult runTool(const std::vector<std::string> &args, const std::string &workDir = {}, bool asNobody = false);

std::string readBytes(const std::string &path);
void writeBytes(const std::string &path, const std::string &bytes);
bool exists(const std::string &path);
// The names in a folder, sorted, without "." and "..".
std::vector<std::string> listFolder(const std::string &path);

// A copy of the demo ROM image at dir/name; returns its path.
std::string copyDemoRom(const TempDir &dir, const std::string &name = "rom.nes");

} // namespace toolrun
