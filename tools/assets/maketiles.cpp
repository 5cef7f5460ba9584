// maketiles FOLDER: writes the shipped tile set, FOLDER/0.bmp .. FOLDER/FF.bmp
// (32 x 32, 24 bits), and its names, FOLDER/names.txt ("1F Yellow ledge",
// one code a line, LF line ends), creating FOLDER when needed. The output is the same
// byte for byte on every run.
#include "bmpimage.h"
#include "hexcode.h"
#include "tileart.h"
#include "tilenames.h"
#include "writefile.h"

#include <exception>
#include <filesystem>
#include <iostream>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::cerr << "usage: maketiles FOLDER\n";
        return 2;
    }
    try {
        const std::filesystem::path folder = argv[1];
        std::filesystem::create_directories(folder);
        std::string names;
        for (int code = 0; code < 256; ++code) {
            const auto hex = wmb::IntToHexText(static_cast<std::uint32_t>(code));
            wmb::assets::writeWholeFile((folder / (hex + ".bmp")).string(),
                                        wmb::encodeBmp24(wmb::assets::makeTile(code)));
            names += hex + " " + wmb::assets::tileName(code) + "\n";
        }
        wmb::assets::writeWholeFile((folder / wmb::TileNamesFileName).string(),
                                    {reinterpret_cast<const std::uint8_t *>(names.data()), names.size()});
    } catch (const std::exception &e) {
        std::cerr << "maketiles: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
