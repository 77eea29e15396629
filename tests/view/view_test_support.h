#pragma once
// Shared set-up of the view tests: a 240 x 320 surface with a drawing context,
// the built-in test font (exact metrics: a cell of 16 pixels has letters 8
// wide, spaces and narrow letters 4, wide letters 12, points 0, maximum width
// 12), the program's settings, a private registry file and answered message
// boxes (a failing allocation tells the user and runs ShutDown), and documents
// built record by record.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_state.h"
#include "content/book_code.h"
#include "platform/constants.h"
#include "platform/font.h"
#include "platform/gdi.h"
#include "platform/msgbox.h"
#include "platform/surface.h"
#include "view/article_view.h"

namespace view_test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes B(std::string_view text) { return Bytes(text.begin(), text.end()); }

// A document built record by record; offsets of every record's text are kept.
class DocumentBuilder {
 public:
  // Adds a paragraph; returns the offset of its text.
  std::uint16_t Add(std::uint8_t style, std::uint8_t param, const Bytes& text) {
    const auto offset = static_cast<std::uint16_t>(bytes_.size() + 2);
    bytes_.push_back(style);
    bytes_.push_back(param);
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    bytes_.push_back(0);
    return offset;
  }
  std::uint16_t Add(std::uint8_t style, std::uint8_t param, std::string_view text) {
    return Add(style, param, B(text));
  }
  // The document as the loader hands it over: the terminating record (three
  // 0 bytes) and two more 0 bytes, in a block from CheckedAlloc.
  std::uint8_t* Block(std::size_t* size) const {
    Bytes all = bytes_;
    all.insert(all.end(), {0, 0, 0, 0, 0});
    auto* block = static_cast<std::uint8_t*>(CheckedAlloc(all.size()));
    std::memcpy(block, all.data(), all.size());
    *size = all.size();
    return block;
  }
  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_;
};

class ViewTest : public testing::Test {
 protected:
  static constexpr int kWidth = 240;
  static constexpr int kHeight = 320;

  void SetUp() override {
    const std::string registry = testing::TempDir() + "view_test_registry.reg";
    setenv("CORVELLA_REGISTRY", registry.c_str(), 1);
    pf::SetMessageBoxAnswerer([this](const pf::MessageBoxCall& call) {
      boxes.push_back(call.text);
      return pf::kIdOk;
    });
    pf::SetDefaultFontFace(pf::kTestFontFace);
    App.Font = TestFontBlock(16);
    App.Flags = 0;
    App.View = nullptr;
    SharedConverter.base = kBase97;
    dc = pf::CreateSurfaceDc(&surface, pf::Point{0, 0}, surface.Bounds());
  }

  void TearDown() override {
    DestroyArticleView(view);
    view = nullptr;
    pf::DeleteDc(dc);
    SetAllocFailureAt(0);
    ReleaseSharedConverter();
    SharedConverter.base = 0;
    pf::SetMessageBoxAnswerer({});
    pf::SetDefaultFontFace({});
    App.Font = FontBlock{};
  }

  static FontBlock TestFontBlock(int size, int base = kBase1488) {
    FontBlock block{};
    const std::u16string_view face = pf::kTestFontFace;
    std::copy(face.begin(), face.end(), block.FontName);
    block.FontSize = size;
    block.FontAsciiBase = base;
    return block;
  }

  // A view on the whole surface (or the given rectangle) with the settings'
  // font block.
  ArticleView* MakeView(pf::Rect rect = pf::Rect{0, 0, kWidth, kHeight}, std::uint16_t capacity = 100) {
    DestroyArticleView(view);
    view = CreateArticleView(dc, &rect, &App.Font, capacity);
    return view;
  }

  int Layout(const DocumentBuilder& doc, bool releaseOld = true) {
    std::size_t size = 0;
    std::uint8_t* block = doc.Block(&size);
    const int result = LayoutArticle(view, block, size, releaseOld);
    if (result == kLayoutRefused) ReleaseBlock(block);  // still ours
    return result;
  }

  std::vector<ArticleLine> Lines() const {
    return std::vector<ArticleLine>(view->lines, view->lines + view->lineCount);
  }

  // The surface as rows of characters: white '.', black '#', navy 'N', blue
  // 'B', yellow 'Y', anything else '?'.
  std::vector<std::string> Picture(pf::Rect area) const {
    static const std::map<pf::Pixel, char> legend = {
        {0xFFFFFF, '.'}, {0x000000, '#'}, {0x000080, 'N'}, {0x0000FF, 'B'}, {0xFFFF00, 'Y'}};
    std::vector<std::string> rows;
    for (int y = area.top; y < area.bottom; ++y) {
      std::string row;
      for (int x = area.left; x < area.right; ++x) {
        const auto it = legend.find(surface.At(x, y));
        row += it == legend.end() ? '?' : it->second;
      }
      rows.push_back(row);
    }
    return rows;
  }

  pf::Surface surface{kWidth, kHeight, 0xFFFFFF};
  pf::HDc dc = nullptr;
  ArticleView* view = nullptr;
  std::vector<std::u16string> boxes;
};

}  // namespace view_test
