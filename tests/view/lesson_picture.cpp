// Writes a picture of a lesson as the reader shows it, with a real Hebrew
// font: lesson_picture OUT.png [lesson] [face] [FontAsciiBase]. Defaults:
// lesson 1, "David CLM", 1488, in a view of 226 x 268 pixels.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/app_state.h"
#include "content/book_code.h"
#include "content/lesson_resource.h"
#include "platform/font.h"
#include "platform/gdi.h"
#include "platform/png_writer.h"
#include "platform/surface.h"
#include "platform/utf.h"
#include "resources/resource_script.h"
#include "view/article_view.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUT.png [lesson] [face] [FontAsciiBase]\n", argv[0]);
    return 2;
  }
  const int lesson = argc > 2 ? std::atoi(argv[2]) : 1;
  const std::string face = argc > 3 ? argv[3] : "David CLM";
  const int base = argc > 4 ? std::atoi(argv[4]) : kBase1488;
  InstallProgramResources();

  FontBlock block{};
  std::u16string name = pf::Utf8ToUtf16(face);
  name.resize(std::min<std::size_t>(name.size(), 31));
  std::copy(name.begin(), name.end(), block.FontName);
  block.FontSize = 18;
  block.FontAsciiBase = base;
  App.Font = block;

  pf::Surface surface(226, 268, 0xFFFFFF);
  pf::HDc dc = pf::CreateSurfaceDc(&surface, pf::Point{0, 0}, surface.Bounds());
  const pf::Rect rect{0, 0, 226, 268};
  ArticleView* view = CreateArticleView(dc, &rect, &block, 100);
  int error = 0;
  std::uint16_t length = 0;
  std::uint8_t* document = LoadLessonDocument(lesson, &error, &length);
  if (view == nullptr || document == nullptr) {
    std::fprintf(stderr, "lesson %d not loaded (error %d)\n", lesson, error);
    return 1;
  }
  int result = LayoutArticle(view, document, std::size_t{length} + 2, true);
  if (result == 0) result = PaintArticle(view, true);
  std::string problem;
  const bool written = result == 0 && pf::WritePng(surface, argv[1], &problem);
  DestroyArticleView(view);
  ReleaseSharedConverter();
  pf::DeleteDc(dc);
  if (!written) {
    std::fprintf(stderr, "no picture: result %d %s\n", result, problem.c_str());
    return 1;
  }
  return 0;
}
