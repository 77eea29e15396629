// Fuzzes the registry file parser: any bytes parse without reading outside the
// input, and whatever was accepted formats into a file that parses cleanly
// back to the same text.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/registry.h"

namespace {

std::span<const std::uint8_t> AsBytes(const std::string& s) {
  return std::span(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pf::RegistryData parsed;
  pf::ParseRegistryText(std::span(data, size), parsed);
  const std::string text = pf::FormatRegistryText(parsed);
  pf::RegistryData again;
  const pf::ParseResult second = pf::ParseRegistryText(AsBytes(text), again);
  if (!second.headerOk || !second.problems.empty()) __builtin_trap();
  if (pf::FormatRegistryText(again) != text) __builtin_trap();
  return 0;
}
