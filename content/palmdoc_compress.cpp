// The PalmDoc compressor used by the course compiler.
//
// Token costs in stream bytes:
//   a byte 0x00 or 0x09-0x7F alone        1
//   a literal run of k bytes (k 1-8)      k + 1   (any bytes; must for 0x01-0x08, 0x80-0xFF)
//   a space and a byte 0x40-0x7F          1
//   a copy of 3-10 bytes                  2       (distance 1-2047)
// The optimal parser is a shortest path over (position, length of the open
// literal run) with these costs; every copy length from 3 up to the longest
// match at a position is a candidate (a shorter copy at the same distance is
// always possible).

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <memory>

#include "content/palmdoc.h"

namespace {

constexpr std::size_t kMaxDistance = 2047;
constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 10;
constexpr std::size_t kMaxRun = 8;
constexpr unsigned kHashBits = 14;
constexpr std::size_t kChainLimit = 2048;  // the whole window

bool StandsAlone(std::uint8_t b) { return b == 0x00 || (b >= 0x09 && b <= 0x7F); }

bool IsSpacePair(std::span<const std::uint8_t> plain, std::size_t pos) {
  return pos + 1 < plain.size() && plain[pos] == 0x20 && plain[pos + 1] >= 0x40 &&
         plain[pos + 1] <= 0x7F;
}

struct Match {
  std::uint16_t length = 0;    // 0: none (below kMinMatch)
  std::uint16_t distance = 0;
};

// Longest match at every position, nearest distance on ties, through hash
// chains over three-byte prefixes.
std::vector<Match> FindMatches(std::span<const std::uint8_t> plain) {
  const std::size_t n = plain.size();
  std::vector<Match> matches(n);
  if (n < kMinMatch) return matches;
  constexpr std::size_t kHashSize = std::size_t{1} << kHashBits;
  constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();
  std::vector<std::uint32_t> head(kHashSize, kNone);
  std::vector<std::uint32_t> previous(n, kNone);
  auto hash = [&plain](std::size_t p) {
    const std::uint32_t v = (std::uint32_t{plain[p]} << 16) | (std::uint32_t{plain[p + 1]} << 8) |
                            plain[p + 2];
    return (v * 2654435761u) >> (32 - kHashBits);
  };
  for (std::size_t pos = 0; pos + kMinMatch <= n; ++pos) {
    const std::uint32_t h = hash(pos);
    const std::size_t limit = std::min(kMaxMatch, n - pos);
    std::size_t bestLength = 0;
    std::size_t bestDistance = 0;
    std::size_t steps = 0;
    for (std::uint32_t candidate = head[h];
         candidate != kNone && pos - candidate <= kMaxDistance && steps < kChainLimit;
         candidate = previous[candidate], ++steps) {
      const std::uint8_t* a = plain.data() + candidate;
      const std::uint8_t* b = plain.data() + pos;
      if (bestLength > 0 && a[bestLength] != b[bestLength]) continue;  // cannot be longer
      std::size_t length = 0;
      while (length < limit && a[length] == b[length]) ++length;
      if (length > bestLength) {
        bestLength = length;
        bestDistance = pos - candidate;
        if (length == limit) break;
      }
    }
    if (bestLength >= kMinMatch) {
      matches[pos].length = static_cast<std::uint16_t>(bestLength);
      matches[pos].distance = static_cast<std::uint16_t>(bestDistance);
    }
    previous[pos] = head[h];
    head[h] = static_cast<std::uint32_t>(pos);
  }
  return matches;
}

void EmitCopy(std::vector<std::uint8_t>& out, std::size_t distance, std::size_t length) {
  const unsigned v = static_cast<unsigned>((distance << 3) | (length - kMinMatch));
  out.push_back(static_cast<std::uint8_t>(0x80 | (v >> 8)));
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
}

void EmitRun(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> bytes) {
  out.push_back(static_cast<std::uint8_t>(bytes.size()));
  out.insert(out.end(), bytes.begin(), bytes.end());
}

// How a state was reached.
enum Step : std::uint8_t { kNoStep, kAlone, kRunStart, kRunAppend, kSpacePair, kCopy };

struct Arrival {
  std::uint32_t cost = std::numeric_limits<std::uint32_t>::max();
  Step step = kNoStep;
  std::uint8_t fromRun = 0;  // run length of the state it came from
  std::uint8_t length = 0;   // bytes of plain text the step covers
};

constexpr std::size_t kRunStates = kMaxRun + 1;  // open run of 0 (none) .. 8 bytes

}  // namespace

std::vector<std::uint8_t> PalmDocCompress(std::span<const std::uint8_t> plain) {
  const std::size_t n = plain.size();
  std::vector<std::uint8_t> out;
  if (n == 0) return out;
  const std::vector<Match> matches = FindMatches(plain);

  // (A plain array: the optimiser cannot prove a vector's storage non-null.)
  const auto states = std::make_unique<std::array<Arrival, kRunStates>[]>(n + 1);
  states[0][0].cost = 0;
  auto relax = [&states](std::size_t pos, std::size_t run, std::uint32_t cost, Step step,
                         std::size_t fromRun, std::size_t length) {
    Arrival& a = states[pos][run];
    if (cost < a.cost) {
      a.cost = cost;
      a.step = step;
      a.fromRun = static_cast<std::uint8_t>(fromRun);
      a.length = static_cast<std::uint8_t>(length);
    }
  };

  for (std::size_t pos = 0; pos < n; ++pos) {
    std::uint32_t best = std::numeric_limits<std::uint32_t>::max();
    std::size_t bestRun = 0;
    for (std::size_t run = 0; run < kRunStates; ++run) {
      const std::uint32_t cost = states[pos][run].cost;
      if (cost == std::numeric_limits<std::uint32_t>::max()) continue;
      if (cost < best) {
        best = cost;
        bestRun = run;
      }
      if (StandsAlone(plain[pos])) relax(pos + 1, 0, cost + 1, kAlone, run, 1);
      if (run == 0 || run == kMaxRun) {
        relax(pos + 1, 1, cost + 2, kRunStart, run, 1);
      } else {
        relax(pos + 1, run + 1, cost + 1, kRunAppend, run, 1);
      }
    }
    if (IsSpacePair(plain, pos)) relax(pos + 2, 0, best + 1, kSpacePair, bestRun, 2);
    for (std::size_t length = kMinMatch; length <= matches[pos].length; ++length) {
      relax(pos + length, 0, best + 2, kCopy, bestRun, length);
    }
  }

  // Walk back from the cheapest final state, then emit in order.
  std::size_t run = 0;
  for (std::size_t r = 1; r < kRunStates; ++r) {
    if (states[n][r].cost < states[n][run].cost) run = r;
  }
  const std::uint32_t total = states[n][run].cost;
  std::vector<std::pair<std::size_t, Step>> path;  // (start position, step)
  for (std::size_t pos = n; pos > 0;) {
    const Arrival& a = states[pos][run];
    pos -= a.length;
    path.emplace_back(pos, a.step);
    run = a.fromRun;
  }
  std::reverse(path.begin(), path.end());
  out.reserve(total);
  for (std::size_t k = 0; k < path.size();) {
    const auto [pos, step] = path[k];
    switch (step) {
      case kAlone:
        out.push_back(plain[pos]);
        ++k;
        break;
      case kSpacePair:
        out.push_back(static_cast<std::uint8_t>(plain[pos + 1] ^ 0x80));
        ++k;
        break;
      case kCopy: {
        const std::size_t length = (k + 1 < path.size() ? path[k + 1].first : n) - pos;
        EmitCopy(out, matches[pos].distance, length);
        ++k;
        break;
      }
      case kRunStart:
      case kRunAppend: {
        std::size_t count = 1;
        while (k + count < path.size() && path[k + count].second == kRunAppend) ++count;
        EmitRun(out, plain.subspan(pos, count));
        k += count;
        break;
      }
      case kNoStep:
        ++k;  // unreachable: every position is reachable by a literal run
        break;
    }
  }
  return out;
}

std::vector<std::uint8_t> PalmDocCompressGreedy(std::span<const std::uint8_t> plain) {
  const std::size_t n = plain.size();
  std::vector<std::uint8_t> out;
  const std::vector<Match> matches = FindMatches(plain);
  std::size_t pos = 0;
  while (pos < n) {
    if (matches[pos].length >= kMinMatch) {
      EmitCopy(out, matches[pos].distance, matches[pos].length);
      pos += matches[pos].length;
    } else if (IsSpacePair(plain, pos)) {
      out.push_back(static_cast<std::uint8_t>(plain[pos + 1] ^ 0x80));
      pos += 2;
    } else if (StandsAlone(plain[pos])) {
      out.push_back(plain[pos]);
      ++pos;
    } else {
      std::size_t count = 1;
      while (count < kMaxRun && pos + count < n && !StandsAlone(plain[pos + count]) &&
             matches[pos + count].length < kMinMatch) {
        ++count;
      }
      EmitRun(out, plain.subspan(pos, count));
      pos += count;
    }
  }
  return out;
}
