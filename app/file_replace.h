// Writing a whole file so that a failure never costs the old one: the bytes go to a temporary
// file of this save in the same folder (a short random name, created new, never a file or link
// that was there), which is then renamed over the target in one step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace app {

// Creates or replaces `file_name` with `size` bytes. A failure raises the class library's file
// error naming `file_name` and the reason (ui::EFCreateError, ui::EWriteError) and leaves any old
// file as it was; the temporary file is removed on every path, and nothing else is.
//
// It behaves as writing the file itself would: a file the user may not write is refused with
// "Cannot create file ..." and stays as it was; a symbolic link is followed and stays a link (the
// temporary file goes beside the file it points to). Where the folder takes no temporary file but
// the file itself may be written, the file is written in place (OverwriteInPlace): its room is
// reserved first, so a full disk refuses the save before a byte of the old file changes.
void WriteFileReplacing(const std::string& file_name, const std::uint8_t* data, std::size_t size);

}  // namespace app
