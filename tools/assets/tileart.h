// The pictures of the shipped tile set, drawn from code alone (no fonts,
// no randomness), so every build makes byte-identical files.
//
// Tile code groups:
//   00        empty background, one dark colour
//   01-07     brick walls          08-0F  stone block walls
//   10-13     riveted slabs        14-17  steel girders
//   18-1B     grass-topped ground  1C-1F  thin ledges on struts
//   20-27     ladders              28-2F  ladders on a back wall
//   30-33     ropes                34-37  chains
//   38-3F     pipes: horizontal, vertical, four corners, cross, end cap
//   40-4F     gems                 50-57  coins          58-5F  orbs
//   60-67     bonus blocks         68-6F  keys
//   70-77     braced crates        78-7F  plank crates
//   80-FF     patterned blocks: the high nibble picks the pattern (checks,
//             diagonals, bands, columns, dots, zigzags, rings, lattice), the
//             low nibble the colour
// Within a group the low nibble picks the colour. Every tile but 00 shows its
// code in small light digits on a black box in its top-left corner.
#pragma once

#include "bmpimage.h"

#include <string>

namespace wmb::assets {

constexpr int TileSize = 32;

// The 32 x 32 picture of tile `code` (0..255).
BmpImage makeTile(int code);

// A plain description of what makeTile(code) draws, distinct for every code:
// "Empty", "Red brick wall", "Horizontal pipe", "Teal lattice block", ...
std::string tileName(int code);

} // namespace wmb::assets
