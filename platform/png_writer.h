#pragma once
// Writing a surface as a PNG file (screenshots of the headless presenter,
// golden pictures of tests), through libpng.

#include <string>

#include "platform/surface.h"

namespace pf {

// Writes `surface` as an 8-bit RGB PNG at `path`. The file is written to a
// temporary file beside it, flushed and renamed over `path`, so a reader sees
// the old file or the whole new one. On failure returns false, leaves no
// temporary file behind and, when `error` is given, puts a one-line reason
// there (naming the path and the cause). An empty surface is refused.
bool WritePng(const Surface& surface, const std::string& path, std::string* error = nullptr);

}  // namespace pf
