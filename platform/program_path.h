#pragma once
// The full path of the program's own file, as the platform gives it to the
// program (the handheld's module file name).

#include <cstddef>
#include <string>

namespace pf {

// Longest path handed out, in UTF-16 units, terminator included.
constexpr std::size_t kMaxProgramPath = 260;

// The path of the running executable as UTF-16 (from /proc/self/exe). Empty
// when it can't be found, is not valid UTF-8, or does not fit in
// kMaxProgramPath units with its terminator: a cut path would name another file.
std::u16string ProgramPath();

}  // namespace pf
