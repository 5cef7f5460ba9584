// The level file: 174 CR LF lines of Windows-1251 text.
//   1: column count "168"   2: row count "1"
//   3..170: the tile code text of map cell 1..168
//   171 name, 172 author, 173 hint, 174 timer
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "errors.h"
#include "levelrecord.h"

namespace wmb {

constexpr int LevelFileLines = 174;

// A count that is not a whole number. what() is the runtime's error,
// "Level file line N: Invalid numeric input"; expectation() also says what
// the line should hold: "Level file line 1: 168 expected, not \"abc\"".
class LevelFileCountError : public InOutError {
public:
    LevelFileCountError(int line, int expected, const std::string &quotedText);
    const std::string &expectation() const noexcept { return mExpectation; }

private:
    std::string mExpectation;
};

// The file's bytes for the level as the controls hold it.
std::string levelFileText(const LevelFields &fields);

// Splits text into lines: a line ends at LF or CR LF, a lone CR is dropped,
// a final line without an end still counts.
std::vector<std::string> splitLevelFileLines(std::string_view bytes);

// The strict reader. Throws, every message naming its line:
//  - LevelFileCountError (InOutError 106 "Level file line N: Invalid numeric
//    input") when a count is not a whole number;
//  - LevelFileError for counts other than 168 and 1, a code line that is not
//    a tile code (one or two hexadecimal digits, either case), a timer line
//    that is not a whole number, or a file that ends too early.
// Codes come back in the map store's form (upper case, no leading zero).
// Texts come back as UTF-8: decoded from Windows-1251, or from UTF-8 when the
// file starts with the UTF-8 byte-order mark (a malformed byte then becomes
// U+FFFD). Line numbers count from the file's first line, the mark's.
LevelFields parseLevelFile(std::string_view bytes);

} // namespace wmb
