// Writing a file over itself, for a save that can make no temporary file beside it: the room the
// new bytes need is reserved before any byte changes, the file is cut to its new size only once
// the new bytes are in, and a write that fails puts the old bytes back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/ui/core/streams.h"

namespace app {

// Replaces everything in `file` (open for reading and writing) with `size` bytes at `data`. A
// file stream reserves the room when it grows (ui::TFileStream::SetSize), so a full disk fails
// before the old bytes change. Any failure raises ui::EWriteError "Cannot write file
// "<file_name>". <reason>" and leaves the old bytes and size in `file`, as far as the failing
// stream lets them be written back.
void OverwriteInPlace(ui::TStream& file, const std::string& file_name, const std::uint8_t* data, std::size_t size);

}  // namespace app
