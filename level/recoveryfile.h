// The recovery file of unsaved edits: everything it takes to put the edits
// of one level back after an editor ended without saving them. A text file
// of one "key value" line per field in a fixed order; the reader is strict.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "errors.h"
#include "levelrecord.h"

namespace wmb {

// The texts in the order the file holds them.
enum class RecoveryText { Timer, Name, Author, Hint };

struct RecoveryFile {
    std::string imagePath;        // absolute, as the file system names it (any bytes)
    int level = 0;                // 1..32
    std::int64_t writtenAt = 0;   // seconds since 1970 (UTC): when the edits were last written
    std::array<std::uint8_t, MapCells> codes{};
    std::array<std::string, 4> texts;   // as the boxes hold them (UTF-8), by RecoveryText
    LevelRecord record;           // the level's record as last read or written: what the edits started from
    bool operator==(const RecoveryFile &) const = default;
};

// A file the reader refuses; what() names the line and why.
class RecoveryFileError : public RuntimeError {
public:
    using RuntimeError::RuntimeError;
};

std::string encodeRecoveryFile(const RecoveryFile &file);
// Throws RecoveryFileError for anything encodeRecoveryFile does not write.
RecoveryFile decodeRecoveryFile(std::string_view bytes);

} // namespace wmb
