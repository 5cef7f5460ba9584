// Where the tile pictures are, and the path of one tile's picture.
#pragma once

#include "platform.h"

#include <string>

namespace wmb {

// The folder name under the start directory that holds a user's own tile set.
inline constexpr const char *TileFolderName = "graph";

// The tile folder: startDirectory + "/graph" when that folder exists (the
// user's own tile set); otherwise the set installed with the program:
// exeDirectory + "/graph" (the build tree), else
// exeDirectory + "/../share/wmbeditor/graph" (an installed copy). When none
// exists the first is returned, so the messages name the usual place.
std::string findTileFolder(const std::string &startDirectory, const std::string &exeDirectory);

// The relative path the messages name: "graph/" + code + ".bmp".
std::string tilePictureName(const std::string &code);

// The absolute file of a tile: folder + "/" + code + ".bmp".
std::string tilePicturePath(const std::string &folder, const std::string &code);

} // namespace wmb
