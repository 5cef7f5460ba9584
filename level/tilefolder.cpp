#include "tilefolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <memory>
#include <vector>

namespace wmb {

namespace {

bool isFolder(const std::string &path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

std::string findTileFolder(const std::string &startDirectory, const std::string &exeDirectory)
{
    const std::string own = startDirectory + "/" + TileFolderName;
    if (isFolder(own))
        return own;
    if (!exeDirectory.empty()) {
        for (const char *rel : {"/graph", "/../share/wmbeditor/graph"}) {
            const std::string shipped = exeDirectory + rel;
            if (isFolder(shipped))
                return shipped;
        }
    }
    return own;
}

std::string tilePictureName(const std::string &code)
{
    return std::string(TileFolderName) + "/" + code + ".bmp";
}

std::string tilePicturePath(const std::string &folder, const std::string &code)
{
    return folder + "/" + code + ".bmp";
}

std::string currentDirectory()
{
    std::vector<char> buf(PATH_MAX);
    for (;;) {
        if (::getcwd(buf.data(), buf.size()))
            return std::string(buf.data());
        if (errno != ERANGE || buf.size() > (1u << 20))
            return {};
        buf.resize(buf.size() * 2);
    }
}

std::string executableDirectory()
{
    std::vector<char> buf(PATH_MAX + 1);
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0)
        return {};
    std::string path(buf.data(), static_cast<size_t>(n));
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

} // namespace wmb
