// Whole files: read at once, written whole or not at all.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace wmb {

// Whole-file helpers; failures throw InOutError.
// readWholeFile reads plain files only (anything else is 5, "File access
// denied") of at most MaxWholeFileSize bytes (larger: RuntimeError).
constexpr std::size_t MaxWholeFileSize = std::size_t{64} << 20;
std::string readWholeFile(const std::string &path);
// Writes to a temporary file beside path, fsyncs it and renames it over path,
// so a failure leaves any existing file as it was. The file replaced is
// respected: a symbolic link is followed and the file it leads to is
// replaced (the link stays); an existing file this user may not write is
// refused with 5 "File access denied" before anything is made; the new file
// keeps the old one's permission bits, owner and group. Where no file can be
// made beside it (a read-only folder) or the owner cannot be kept, and for a
// file with more than one hard link (so that every name keeps showing it), a
// writable file is rewritten in place after room for the bytes is reserved. A folder, pipe, device or socket is
// refused: 5 with what() "File access denied: the output is a pipe, not a
// file" (a folder, a device, a socket).
// Before it makes its own, it removes the temporary files of earlier writes
// in that folder whose writer no longer runs (removeLeftoverTemporaries).
void writeFileAtomically(const std::string &path, std::string_view bytes);
// True for the name of writeFileAtomically's temporary files: ".wmb-" and
// six lower-case letters or digits.
bool isTemporaryName(std::string_view name);
// Removes the temporary files in folder that no running write holds (a
// write killed before its rename); returns how many. A folder that cannot
// be listed is let be.
int removeLeftoverTemporaries(const std::string &folder);
// True for a plain file or a link leading to one or to nothing: a file the
// export asks about before replacing it.
bool fileExists(const std::string &path);

} // namespace wmb
