// Names of tiles: the text file names.txt beside the tile pictures, one tile
// a line, "1F Ladder": the tile code in hexadecimal (one or two digits,
// either case, so "F", "0F" and "0f" are the same code), blanks, the name.
// The file is UTF-8 and optional, and so is every line in it: a code without
// a name, a blank line or a line that does not start with a tile code
// names nothing (a "#" line is such a line, so it serves as a comment).
// When a code is named twice the last line wins, so a name added at the end
// of a file overrides one above it. A name longer than MaxTileNameLength
// characters is cut there; control characters in a name read as spaces, so
// a name is always one line of one field.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace wmb {

inline constexpr const char *TileNamesFileName = "names.txt";
inline constexpr std::size_t MaxTileNameLength = 60;   // characters (code points), not bytes

class TileNames {
public:
    TileNames() = default;
    // The names in the text of a names file; never throws on its content.
    static TileNames parse(std::string_view text);
    // The names in folder/names.txt; none when that file is missing or
    // cannot be read (the names are a help, never a reason to fail).
    static TileNames read(const std::string &folder);

    // The name of a code; empty when it has none.
    const std::string &name(std::uint8_t code) const { return mNames[code]; }
    // "1F Ladder", or "1F" for a code without a name.
    std::string label(std::uint8_t code) const;
    // True when no code has a name.
    bool empty() const;

private:
    std::array<std::string, 256> mNames;
};

} // namespace wmb
