// Splitting a command line into words as a POSIX shell does.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace wmb {

// The words of a command line, nothing expanded ($, ~ and * stay as they
// are): blanks (space, tab, newline) separate words; inside '...' every
// character is literal; inside "..." a backslash keeps only \ " $ ` as
// themselves; outside quotes a backslash keeps the next character. Quotes
// join with what touches them ("a"'b'c is one word abc); "" alone is an empty
// word. Throws RuntimeError "The command has an unterminated quote".
std::vector<std::string> splitShellWords(std::string_view command);

} // namespace wmb
