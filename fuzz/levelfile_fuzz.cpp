// The level file reader on any bytes: it either refuses the file with one of
// its own errors or returns fields that the writer turns back into a file
// the reader reads to the same fields (a UTF-8 file: to the same file).
#include "errors.h"
#include "fuzzcheck.h"
#include "hexcode.h"
#include "levelfile.h"

#include <algorithm>

using wmbfuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    const std::string_view bytes = wmbfuzz::asText(data, size);

    const std::vector<std::string> lines = wmb::splitLevelFileLines(bytes);
    const auto newlines = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    check(lines.size() == newlines + (!bytes.empty() && bytes.back() != '\n'),
          "a line per LF, plus a final line without one");
    for (const std::string &line : lines)
        check(line.find_first_of("\r\n") == std::string::npos, "lines hold no CR or LF");

    wmb::LevelFields fields;
    try {
        fields = wmb::parseLevelFile(bytes);
    } catch (const wmb::LevelFileError &) {
        return 0;
    } catch (const wmb::InOutError &e) {
        check(e.code() == wmb::IoInvalidNumericInput, "the only I/O error of the reader is 106");
        return 0;
    }
    for (const std::string &code : fields.codes)
        check(wmb::isTileCodeText(code), "every map code is a tile code text");
    std::int32_t timer = 0;
    check(wmb::tryStrToInt(fields.timer, timer), "the timer is a whole number");

    const std::string written = wmb::levelFileText(fields);
    check(wmb::splitLevelFileLines(written).size() == wmb::LevelFileLines, "the writer writes 174 lines");
    const wmb::LevelFields again = wmb::parseLevelFile(written);
    // A file in UTF-8 may hold characters that Windows-1251 lacks: they are
    // written as '?', and from then on the file reads and writes the same.
    if (!bytes.starts_with("\xEF\xBB\xBF"))
        check(again == fields, "write then read gives the same fields");
    check(wmb::levelFileText(again) == written, "a written file reads back to the same file");
    return 0;
}
