#include "platform/program_path.h"

#include <unistd.h>

#include <optional>
#include <vector>

#include "platform/utf.h"

namespace pf {

std::u16string ProgramPath() {
  std::vector<char> buf(4096);
  const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
  if (n <= 0 || static_cast<std::size_t>(n) >= buf.size()) return {};
  std::optional<std::u16string> path =
      Utf8ToUtf16Strict(std::string_view(buf.data(), static_cast<std::size_t>(n)));
  if (!path || path->size() + 1 > kMaxProgramPath) return {};
  return *path;
}

}  // namespace pf
