#include <cstring>

#include "content/palmdoc.h"

PalmDocDecodeResult PalmDocDecode(std::span<const std::uint8_t> stream,
                                  std::span<std::uint8_t> out) {
  const std::uint8_t* const in = stream.data();
  const std::size_t inSize = stream.size();
  std::uint8_t* const dst = out.data();
  const std::size_t outSize = out.size();
  std::size_t i = 0;  // stream bytes read
  std::size_t w = 0;  // output bytes written
  bool broken = false;

  while (w < outSize && i < inSize) {
    const std::uint8_t c = in[i++];
    if (c >= 0x09 && c <= 0x7F) {
      dst[w++] = c;
    } else if (c == 0x00) {
      dst[w++] = 0;
    } else if (c <= 0x08) {
      // A literal run; only the part that still fits the output is needed.
      std::size_t take = c;
      if (take > outSize - w) take = outSize - w;
      if (take > inSize - i) {
        broken = true;
        break;
      }
      std::memcpy(dst + w, in + i, take);
      w += take;
      i += take;
    } else if (c <= 0xBF) {
      if (i >= inSize) {
        broken = true;
        break;
      }
      const unsigned v = (static_cast<unsigned>(c) << 8) | in[i++];
      const std::size_t distance = (v >> 3) & 0x7FF;
      std::size_t length = (v & 7) + 3;
      if (distance == 0 || distance > w) {
        broken = true;
        break;
      }
      const std::uint8_t* from = dst + (w - distance);
      std::uint8_t* to = dst + w;
      if (distance >= 10 && outSize - w >= 10) {
        // Source and target cannot overlap: copy all ten bytes at once; the
        // ones beyond `length` lie inside the output and are written again.
        std::memcpy(to, from, 10);
        w += length;
        continue;
      }
      if (length > outSize - w) length = outSize - w;
      if (distance >= length) {
        std::memcpy(to, from, length);
      } else {
        // Overlapping: byte by byte repeats the last `distance` bytes.
        for (std::size_t k = 0; k < length; ++k) to[k] = from[k];
      }
      w += length;
    } else {
      dst[w++] = 0x20;
      if (w < outSize) dst[w++] = static_cast<std::uint8_t>(c ^ 0x80);
    }
  }

  PalmDocDecodeResult result;
  result.written = w;
  result.consumed = i;
  result.complete = !broken && w == outSize;
  return result;
}
