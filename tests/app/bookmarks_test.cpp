#include "index/bookmarks.h"

#include <vector>

#include "app/app_state.h"
#include "app/settings.h"
#include "tests/app/app_test_support.h"

namespace {

class BookmarksTest : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    App = AppState{};
  }
  void TearDown() override {
    FreeBookmarks();
    AppFixture::TearDown();
  }

  static std::vector<std::uint16_t> List() {
    std::vector<std::uint16_t> list;
    if (App.Bookmarks == nullptr) return list;
    for (std::size_t i = 0; i < App.BookmarkCount; ++i) list.push_back(App.Bookmarks[i]);
    EXPECT_EQ(App.Bookmarks[App.BookmarkCount], 0) << "the list ends with its 0 entry";
    return list;
  }

  static std::vector<std::uint8_t> Stored() {
    std::uint32_t length = 0;
    auto* bytes = static_cast<std::uint8_t*>(ReadSettingBlob(u"Bookmarks", nullptr, &length));
    std::vector<std::uint8_t> stored;
    if (bytes != nullptr) stored.assign(bytes, bytes + length);
    ReleaseBlock(bytes);
    return stored;
  }
};

TEST_F(BookmarksTest, LoadTakesEntriesUpToTheFirstZeroWhateverWasStored) {
  struct Case {
    std::vector<std::uint8_t> stored;
    std::vector<std::uint16_t> list;
  };
  const std::vector<Case> cases = {
      {{0, 0}, {}},
      {{3, 0, 0xF5, 0, 0, 0}, {3, 245}},
      {{3, 0, 5}, {3}},              // odd size, no terminator
      {{3, 0, 5, 0}, {3, 5}},        // terminator missing
      {{3, 0, 0, 0, 7, 0, 0, 0}, {3}},  // a 0 entry early ends the list
      {{}, {}},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(WriteSettingBlob(u"Bookmarks", c.stored.data(), static_cast<std::uint32_t>(c.stored.size())), 1);
    LoadBookmarks();
    EXPECT_EQ(List(), c.list);
    EXPECT_EQ(App.BookmarkCount, c.list.size());
    FreeBookmarks();
  }
}

TEST_F(BookmarksTest, NothingStoredLoadsNoListAndSavesTwoZeroBytes) {
  LoadBookmarks();
  EXPECT_EQ(App.Bookmarks, nullptr);
  EXPECT_EQ(IsBookmarked(), 0);
  SaveBookmarks();
  EXPECT_EQ(Stored(), (std::vector<std::uint8_t>{0, 0}));
}

TEST_F(BookmarksTest, AddRemoveKeepOrderAndSurviveASaveAndLoad) {
  for (int lesson : {12, 7, 12, 200}) {
    App.Lesson = static_cast<std::uint16_t>(lesson);
    AddBookmark();
  }
  EXPECT_EQ(List(), (std::vector<std::uint16_t>{12, 7, 200}));
  App.Lesson = 7;
  EXPECT_EQ(IsBookmarked(), 1);
  RemoveBookmark();
  EXPECT_EQ(IsBookmarked(), 0);
  EXPECT_EQ(List(), (std::vector<std::uint16_t>{12, 200}));
  SaveBookmarks();
  EXPECT_EQ(Stored(), (std::vector<std::uint8_t>{12, 0, 200, 0, 0, 0}));
  FreeBookmarks();
  LoadBookmarks();
  EXPECT_EQ(List(), (std::vector<std::uint16_t>{12, 200}));
}

TEST_F(BookmarksTest, RemovalAsksUntilTheUserSaysNotTo) {
  App.Lesson = 4;
  ToggleBookmark(IsBookmarked());  // adds, without asking
  EXPECT_TRUE(boxes_.empty());

  answer_ = pf::kIdNo;
  ToggleBookmark(IsBookmarked());
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, u"Remove Bookmark?\n\nCancel - Don't ask again");
  EXPECT_EQ(boxes_[0].caption, u"Bookmark");
  EXPECT_EQ(boxes_[0].style, 3u);  // Yes, No and Cancel; no icon
  EXPECT_EQ(IsBookmarked(), 1);

  answer_ = pf::kIdCancel;
  ToggleBookmark(IsBookmarked());
  EXPECT_EQ(IsBookmarked(), 0);
  ToggleBookmark(IsBookmarked());
  ToggleBookmark(IsBookmarked());  // removed without asking again
  EXPECT_EQ(boxes_.size(), 2u);
  EXPECT_EQ(IsBookmarked(), 0);
}

}  // namespace
