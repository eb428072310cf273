// The class library's file errors as the save commands raise them: each names the file the user
// chose, whatever file (a temporary one, the file behind a link) the failing call was about.
#pragma once

#include <string>

#include "platform/ui/core/exceptions.h"

namespace app {

// The reason part of a class-library file error ("Cannot write file "x". <reason>"), or the
// whole message when it names no file.
std::string FileErrorReason(const std::string& message);

// ui::EFCreateError "Cannot create file "<file_name>". <reason>".
[[noreturn]] void RaiseCannotCreate(const std::string& file_name, const std::string& reason);

// ui::EWriteError "Cannot write file "<file_name>". <reason of cause>".
[[noreturn]] void RaiseCannotWrite(const std::string& file_name, const ui::Exception& cause);

}  // namespace app
