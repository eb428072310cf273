// The Windows-1252 boundary: text inside the program is UTF-8 and is converted exactly where bytes
// are stored or sent (album files, device payload captions).
#pragma once

#include <string>

namespace ui {

// Windows-1252 at the byte boundaries (files, device payloads). A character 1252 cannot hold,
// and every byte of malformed UTF-8, becomes "?".
std::string Utf8ToCp1252(const std::string& utf8);
std::string Cp1252ToUtf8(const std::string& bytes);

}  // namespace ui
