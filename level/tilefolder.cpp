#include "tilefolder.h"

namespace wmb {

namespace {

bool isFolder(const std::string &path)
{
    return fileStatus(path).kind == FileKind::Folder;
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

} // namespace wmb
