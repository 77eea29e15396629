// Whatever the input, the compressor's stream decodes back to exactly that
// input, using every stream byte, and is never larger than the greedy one.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "content/palmdoc.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 65535) return 0;
  const std::span<const std::uint8_t> plain(data, size);
  const std::vector<std::uint8_t> stream = PalmDocCompress(plain);
  std::vector<std::uint8_t> out(size);
  const PalmDocDecodeResult r = PalmDocDecode(stream, out);
  if (!r.complete || r.consumed != stream.size()) __builtin_trap();
  for (std::size_t k = 0; k < size; ++k) {
    if (out[k] != data[k]) __builtin_trap();
  }
  if (stream.size() > PalmDocCompressGreedy(plain).size()) __builtin_trap();
  return 0;
}
