// Decompression throughput and compression ratio of the PalmDoc codec over a
// course-sized set of documents: 245 lessons of Hebrew-like BookCode text,
// 3.2 to 8.6 KB each, with the paragraph records of a lesson.
//
// Counters: "plain" and "packed" bytes of the whole set, "ratio" packed/plain;
// decoding reports bytes_per_second of output.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "content/palmdoc.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A lexicon of pointed words, drawn by a Zipf-like rank so that frequent words
// recur as they do in real text. Points (21-31) precede the letter they sit on;
// about one letter in six is a pointed form (65-90).
class TextMaker {
 public:
  explicit TextMaker(unsigned seed) : rng_(seed) {
    for (int w = 0; w < 3000; ++w) {
      Bytes word;
      const int letters = 2 + static_cast<int>(rng_() % 5);
      for (int k = 0; k < letters; ++k) {
        if (rng_() % 5 != 0) word.push_back(static_cast<std::uint8_t>(21 + rng_() % 11));
        word.push_back(static_cast<std::uint8_t>(rng_() % 6 == 0 ? 65 + rng_() % 26 : 97 + rng_() % 27));
      }
      lexicon_.push_back(word);
    }
  }

  void Words(Bytes& out, std::size_t bytes) {
    const std::size_t end = out.size() + bytes;
    while (out.size() < end) {
      // rank ~ 1/u: a heavy head and a long tail.
      const double u = std::uniform_real_distribution<double>(0.0003, 1.0)(rng_);
      const auto rank = static_cast<std::size_t>(1.0 / u) % lexicon_.size();
      const Bytes& w = lexicon_[rank];
      out.insert(out.end(), w.begin(), w.end());
      out.push_back(rng_() % 14 == 0 ? static_cast<std::uint8_t>(":-,"[rng_() % 3]) : 0x20);
    }
  }

  Bytes Lesson(std::size_t size) {
    Bytes doc;
    auto record = [&](std::uint8_t style, std::uint8_t param, std::size_t textBytes) {
      doc.push_back(style);
      doc.push_back(param);
      Words(doc, textBytes);
      doc.push_back(0);
    };
    record(0xD1, 0, 20);
    record(0xD1, 0, 40);
    record(0xD2, 0, 30);
    record(0xB2, 0, 12);
    record(0xC7, 210, 0);
    record(0xD1, 0, 25);
    while (doc.size() + 3 < size) record(0xB1, 0, std::min<std::size_t>(size - doc.size(), 200 + rng_() % 1500));
    doc.insert(doc.end(), {0, 0, 0});
    return doc;
  }

  std::size_t Uniform(std::size_t lo, std::size_t hi) { return lo + rng_() % (hi - lo + 1); }

 private:
  std::mt19937 rng_;
  std::vector<Bytes> lexicon_;
};

struct Course {
  std::vector<Bytes> plain;
  std::vector<Bytes> optimal;
  std::vector<Bytes> greedy;
  std::size_t plainBytes = 0;
};

const Course& TheCourse() {
  static const Course course = [] {
    Course c;
    TextMaker maker(2026);
    for (int lesson = 1; lesson <= 245; ++lesson) {
      c.plain.push_back(maker.Lesson(maker.Uniform(3254, 8649)));
      c.optimal.push_back(PalmDocCompress(c.plain.back()));
      c.greedy.push_back(PalmDocCompressGreedy(c.plain.back()));
      c.plainBytes += c.plain.back().size();
    }
    return c;
  }();
  return course;
}

std::size_t Total(const std::vector<Bytes>& set) {
  std::size_t n = 0;
  for (const Bytes& b : set) n += b.size();
  return n;
}

void BM_DecodeCourse(benchmark::State& state) {
  const Course& c = TheCourse();
  Bytes out(65536);
  for (auto _ : state) {
    for (std::size_t k = 0; k < c.plain.size(); ++k) {
      const PalmDocDecodeResult r = PalmDocDecode(c.optimal[k], std::span(out.data(), c.plain[k].size()));
      benchmark::DoNotOptimize(r);
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.plainBytes));
  state.counters["plain"] = static_cast<double>(c.plainBytes);
  state.counters["packed"] = static_cast<double>(Total(c.optimal));
}
BENCHMARK(BM_DecodeCourse)->Unit(benchmark::kMillisecond);

template <std::vector<std::uint8_t> (*Compress)(std::span<const std::uint8_t>)>
void BM_CompressCourse(benchmark::State& state) {
  const Course& c = TheCourse();
  std::size_t packed = 0;
  for (auto _ : state) {
    packed = 0;
    for (const Bytes& p : c.plain) packed += Compress(p).size();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.plainBytes));
  state.counters["plain"] = static_cast<double>(c.plainBytes);
  state.counters["packed"] = static_cast<double>(packed);
  state.counters["ratio"] = static_cast<double>(packed) / static_cast<double>(c.plainBytes);
}
BENCHMARK(BM_CompressCourse<PalmDocCompress>)->Name("BM_CompressCourse/optimal")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompressCourse<PalmDocCompressGreedy>)->Name("BM_CompressCourse/greedy")->Unit(benchmark::kMillisecond);

void BM_Compress64K(benchmark::State& state) {
  TextMaker maker(7);
  Bytes plain;
  maker.Words(plain, 65535);
  plain.resize(65535);
  for (auto _ : state) benchmark::DoNotOptimize(PalmDocCompress(plain));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * plain.size()));
}
BENCHMARK(BM_Compress64K)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
