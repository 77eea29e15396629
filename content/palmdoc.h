#pragma once
// The PalmDoc compression scheme (the LZ77 variant of the Palm DOC e-book
// format) in which every lesson and the index travel inside the program.
//
// Pure code: no allocation in the decoder, no platform, no program state. The
// loader (content/lesson_resource.h) and the course compiler both build on it.
//
// Stream bytes, as the decoder reads them:
//   0x00, 0x09-0x7F  the byte itself
//   0x01-0x08        that many following bytes, copied unchanged
//   0x80-0xBF        with the next byte m: v = c*256 + m; copy (v & 7) + 3
//                    bytes from ((v >> 3) & 0x7FF) bytes back in the output,
//                    one byte at a time (so a length above the distance repeats)
//   0xC0-0xFF        a space followed by the byte c ^ 0x80 (0x40-0x7F)

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

struct PalmDocDecodeResult {
  std::size_t written = 0;   // bytes written to the output
  std::size_t consumed = 0;  // stream bytes read
  // True when the output was filled completely. False when the stream ran out
  // first, or when it broke the scheme's limits: a copy with distance 0 or one
  // reaching before the start of the output, a literal run or a copy's second
  // byte beyond the end of the stream. Decoding stops at the first such fault.
  bool complete = false;
};

// Decodes `stream` into `out` until out.size() bytes are written or the stream
// is used up. Reads nothing outside `stream`, writes nothing outside `out`,
// whatever the input. The stream need not be used up: the output bound ends the
// decoding (a copy or space pair cut by it is a success). An empty `out` is
// complete at once with nothing consumed. One pass; no allocation.
PalmDocDecodeResult PalmDocDecode(std::span<const std::uint8_t> stream,
                                  std::span<std::uint8_t> out);

// Compresses `plain` (any length) into a stream that PalmDocDecode turns back
// into exactly `plain`, keeping to the scheme's limits: distances 1 to 2047
// within what is already written, lengths 3 to 10, literal runs of 1 to 8,
// space pairs for a space before 0x40-0x7F. Chooses among all candidate matches
// by optimal parsing (shortest stream over positions), so the result is as
// small as this scheme allows for the matches found. Empty input gives an empty
// stream. Costs O(n * window chain) time with hash chains; fine for 64 KB.
std::vector<std::uint8_t> PalmDocCompress(std::span<const std::uint8_t> plain);

// A simple greedy compressor (longest match at each position, else a space
// pair, else a literal), kept as the yardstick the optimal parser is measured
// against in tests and benchmarks. Same limits and same decoder.
std::vector<std::uint8_t> PalmDocCompressGreedy(std::span<const std::uint8_t> plain);
