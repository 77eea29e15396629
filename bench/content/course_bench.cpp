// The codec over the course the program carries: decoding every lesson and
// the index (the search decodes all 245 lessons in turn), loading them the
// way the program does, and how the compressor's streams compare with a
// greedy parse of the same documents.
//
// Counters: "plain" and "packed" bytes of the course; for recompression
// "ratio" packed/plain of the parse measured and "shipped" the stored total.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "app/app_state.h"
#include "content/lesson_resource.h"
#include "content/palmdoc.h"
#include "resources/course_data.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Shipped {
  std::vector<LessonContainer> containers;
  std::vector<Bytes> plain;
  std::size_t plainBytes = 0;
  std::size_t packedBytes = 0;
};

const Shipped& Course() {
  static const Shipped shipped = [] {
    Shipped s;
    for (const pf::BinaryResource& r : CourseRcData()) {
      LessonContainer c;
      if (!ParseLessonResource(r.bytes, &c).empty()) continue;
      Bytes plain(c.plainLength);
      if (!PalmDocDecode(c.stream, plain).complete) continue;
      s.containers.push_back(c);
      s.plain.push_back(std::move(plain));
      s.plainBytes += c.plainLength;
      s.packedBytes += c.packedLength;
    }
    return s;
  }();
  return shipped;
}

void BM_DecodeShippedCourse(benchmark::State& state) {
  const Shipped& s = Course();
  Bytes out(65536);
  for (auto _ : state) {
    for (const LessonContainer& c : s.containers) {
      const PalmDocDecodeResult r = PalmDocDecode(c.stream, std::span(out.data(), c.plainLength));
      benchmark::DoNotOptimize(r);
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.plainBytes));
  state.counters["documents"] = static_cast<double>(s.containers.size());
  state.counters["plain"] = static_cast<double>(s.plainBytes);
  state.counters["packed"] = static_cast<double>(s.packedBytes);
}
BENCHMARK(BM_DecodeShippedCourse)->Unit(benchmark::kMicrosecond);

// What the search does per lesson: find, check, allocate, decode, release.
void BM_LoadEveryLesson(benchmark::State& state) {
  pf::ResourceTables tables;
  tables.rcdata = CourseRcData();
  pf::InstallResources(&tables);
  std::size_t bytes = 0;
  for (auto _ : state) {
    bytes = 0;
    for (int lesson = 1; lesson <= kLessonCount; ++lesson) {
      std::uint16_t length = 0;
      DocumentBlock doc(LoadLessonDocument(lesson, nullptr, &length));
      benchmark::DoNotOptimize(doc.get());
      bytes += length;
    }
  }
  pf::InstallResources(nullptr);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_LoadEveryLesson)->Unit(benchmark::kMicrosecond);

template <std::vector<std::uint8_t> (*Compress)(std::span<const std::uint8_t>)>
void BM_RecompressShippedCourse(benchmark::State& state) {
  const Shipped& s = Course();
  std::size_t packed = 0;
  for (auto _ : state) {
    packed = 0;
    for (const Bytes& p : s.plain) packed += Compress(p).size();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.plainBytes));
  state.counters["plain"] = static_cast<double>(s.plainBytes);
  state.counters["packed"] = static_cast<double>(packed);
  state.counters["shipped"] = static_cast<double>(s.packedBytes);
  state.counters["ratio"] = static_cast<double>(packed) / static_cast<double>(s.plainBytes);
}
BENCHMARK(BM_RecompressShippedCourse<PalmDocCompress>)
    ->Name("BM_RecompressShippedCourse/optimal")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecompressShippedCourse<PalmDocCompressGreedy>)
    ->Name("BM_RecompressShippedCourse/greedy")
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
