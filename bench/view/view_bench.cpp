// Layout and painting of the course's lessons with a real Hebrew font
// ("David CLM", size 18): every lesson laid out at width 226, one lesson at a
// time and all together; a document made of 1 to 16 copies of a lesson
// (layout must stay linear in the size); a full 240 x 320 view painted
// with FontAsciiBase 1488 (the pointed path: one or two draw calls a byte) and
// with 224 (one draw call a line).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "app/app_state.h"
#include "content/book_code.h"
#include "content/lesson_container.h"
#include "content/lesson_resource.h"
#include "platform/font.h"
#include "platform/gdi.h"
#include "platform/surface.h"
#include "resources/resource_script.h"
#include "view/article_view.h"

namespace {

constexpr std::u16string_view kFace = u"David CLM";

FontBlock Block(int base) {
  FontBlock block{};
  std::copy(kFace.begin(), kFace.end(), block.FontName);
  block.FontSize = 18;
  block.FontAsciiBase = base;
  return block;
}

struct Screen {
  pf::Surface surface{240, 320, 0xFFFFFF};
  pf::HDc dc = pf::CreateSurfaceDc(&surface, pf::Point{0, 0}, surface.Bounds());
  ~Screen() { pf::DeleteDc(dc); }
};

struct Lesson {
  std::uint8_t* document = nullptr;
  std::size_t size = 0;
};

Lesson Load(int lesson) {
  static bool installed = false;
  if (!installed) {
    InstallProgramResources();
    installed = true;
  }
  Lesson l;
  std::uint16_t length = 0;
  l.document = LoadLessonDocument(lesson, nullptr, &length);
  l.size = std::size_t{length} + 2;
  return l;
}

ArticleView* ViewOf(Screen& screen, int width, int height, const FontBlock& block) {
  const pf::Rect rect{0, 0, width, height};
  return CreateArticleView(screen.dc, &rect, &block, 100);
}

// Every lesson laid out once per iteration; each view owns its lesson, so the
// layout measures only (its fonts and width tables are made in the set-up).
void LayoutAllLessons(benchmark::State& state) {
  App.Font = Block(kBase1488);
  Screen screen;
  std::vector<ArticleView*> views;
  std::size_t bytes = 0;
  for (int n = 1; n <= kLessonCount; ++n) {
    ArticleView* view = ViewOf(screen, 226, 268, App.Font);
    const Lesson lesson = Load(n);
    if (view == nullptr || lesson.document == nullptr ||
        LayoutArticle(view, lesson.document, lesson.size, true) != 0) {
      state.SkipWithError("lesson not laid out");
      return;
    }
    bytes += lesson.size;
    views.push_back(view);
  }
  for (auto _ : state) {
    for (ArticleView* view : views) benchmark::DoNotOptimize(SetArticleViewSize(view, 226, 268));
  }
  state.SetItemsProcessed(state.iterations() * kLessonCount);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  for (ArticleView* view : views) DestroyArticleView(view);
  ReleaseSharedConverter();
}
BENCHMARK(LayoutAllLessons)->Unit(benchmark::kMillisecond);

void LayoutOneLesson(benchmark::State& state) {
  App.Font = Block(kBase1488);
  Screen screen;
  ArticleView* view = ViewOf(screen, 226, 268, App.Font);
  const Lesson lesson = Load(static_cast<int>(state.range(0)));
  if (view == nullptr || lesson.document == nullptr || LayoutArticle(view, lesson.document, lesson.size, true) != 0) {
    state.SkipWithError("lesson not laid out");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(SetArticleViewSize(view, 226, 268));
  state.counters["lines"] = view->lineCount;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * lesson.size));
  DestroyArticleView(view);
  ReleaseSharedConverter();
}
BENCHMARK(LayoutOneLesson)->Arg(1)->Arg(60)->Arg(120)->Arg(180)->Arg(245)->Unit(benchmark::kMicrosecond);

// Lesson 1's records repeated `range` times (up to 16, about 55 KB): the
// time per byte must not grow with the size.
void LayoutScaled(benchmark::State& state) {
  App.Font = Block(kBase1488);
  std::vector<std::uint8_t> body;
  {
    const Lesson lesson = Load(1);
    // Records up to the terminating StyleByte 0.
    std::size_t end = 0;
    while (end < lesson.size && lesson.document[end] != 0) {
      end += 2;
      while (end < lesson.size && lesson.document[end] != 0) ++end;
      ++end;
    }
    body.insert(body.end(), lesson.document, lesson.document + end);
    ReleaseBlock(lesson.document);
  }
  std::vector<std::uint8_t> all;
  for (int i = 0; i < state.range(0) && all.size() + body.size() < 65500; ++i) {
    all.insert(all.end(), body.begin(), body.end());
  }
  all.insert(all.end(), {0, 0, 0, 0, 0});
  auto* block = static_cast<std::uint8_t*>(CheckedAlloc(all.size()));
  std::memcpy(block, all.data(), all.size());
  Screen screen;
  ArticleView* view = ViewOf(screen, 226, 268, App.Font);
  if (LayoutArticle(view, block, all.size(), true) != 0) {
    state.SkipWithError("not laid out");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(SetArticleViewSize(view, 226, 268));
  state.SetComplexityN(static_cast<std::int64_t>(all.size()));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * all.size()));
  state.counters["lines"] = view->lineCount;
  DestroyArticleView(view);
  ReleaseSharedConverter();
}
BENCHMARK(LayoutScaled)->RangeMultiplier(2)->Range(1, 16)->Complexity(benchmark::oN)->Unit(benchmark::kMicrosecond);

// A full screen of lesson text, painted with the area cleared first.
void PaintFullView(benchmark::State& state) {
  const int base = static_cast<int>(state.range(0));
  App.Font = Block(base);
  Screen screen;
  ArticleView* view = ViewOf(screen, 240, 320, App.Font);
  const Lesson lesson = Load(1);
  if (view == nullptr || lesson.document == nullptr || LayoutArticle(view, lesson.document, lesson.size, true) != 0) {
    state.SkipWithError("lesson not laid out");
    return;
  }
  view->topLine = 8;  // into the body
  for (auto _ : state) benchmark::DoNotOptimize(PaintArticle(view, true));
  state.counters["rows"] = view->paintedCount;
  DestroyArticleView(view);
  ReleaseSharedConverter();
}
BENCHMARK(PaintFullView)->Arg(kBase1488)->Arg(kBase224)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
