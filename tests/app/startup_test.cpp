#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/settings.h"
#include "app/startup.h"
#include "platform/constants.h"
#include "platform/registry.h"
#include "platform/window.h"
#include "tests/app/app_test_support.h"

namespace {

std::uint32_t StoredNumber(const char16_t* key, const char16_t* name, std::int32_t def = -1) {
  return static_cast<std::uint32_t>(ReadNumber(key, name, def));
}

using StartupTest = AppFixture;

TEST(TodaySwitch, WholeCommandLineWithoutRegardToCase) {
  struct Case {
    const char16_t* line;
    bool today;
  };
  const Case cases[] = {
      {u"/today", true},  {u"/TODAY", true},   {u"/ToDaY", true},    {u"", false},
      {u" /today", false}, {u"/today ", false}, {u"/today x", false}, {u"/tomorrow", false},
      {u"today", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsTodayCommandLine(c.line), c.today);
}

TEST_F(StartupTest, FirstRunStoresDefaultsAndProgramPath) {
  EXPECT_EQ(RunOnce(u""), 0);
  EXPECT_EQ(StoredNumber(kSettingsKey, u"Flags"), kDefaultFlags);
  EXPECT_EQ(StoredNumber(kSettingsKey, u"FontAsciiBase"), 1488u);
  EXPECT_EQ(StoredNumber(kSettingsKey, u"Lesson"), 1u);  // 30 September 2008
  EXPECT_EQ(StoredNumber(kSettingsKey, u"FontSize"), static_cast<std::uint32_t>(-1));  // 0 is not written
  char16_t* path = ReadSettingString(u"Program Path");
  ASSERT_NE(path, nullptr);
  EXPECT_NE(path[0], 0);
  ReleaseBlock(path);
  char16_t* font = ReadSettingString(u"FontName");
  EXPECT_EQ(font, nullptr);  // never chosen, so never written
  ReleaseBlock(font);
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(StartupTest, AMissingLessonIsReportedOnceAndTheProgramRunsOn) {
  pf::InstallResources(nullptr);
  bool viewExists = false;
  EXPECT_EQ(RunOnce(u"", [&] { viewExists = App.View != nullptr; }), 0);
  EXPECT_TRUE(viewExists);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, u"Resource not found");
  EXPECT_EQ(boxes_[0].caption, u"Error");
  EXPECT_EQ(boxes_[0].style, 0x30u);
  EXPECT_EQ(StoredNumber(kSettingsKey, u"Lesson"), 1u);
}

TEST_F(StartupTest, HandChosenLessonSurvivesUnlessTodayIsAsked) {
  ASSERT_EQ(WriteSettingNumber(u"Lesson", 17), 1);
  ASSERT_EQ(WriteSettingNumber(u"Flags", static_cast<std::int32_t>(kDefaultFlags | kFlagChosenByHand)), 1);
  EXPECT_EQ(RunOnce(u""), 0);
  EXPECT_EQ(StoredNumber(kSettingsKey, u"Lesson"), 17u);
  EXPECT_EQ(StoredNumber(kSettingsKey, u"Flags"), kDefaultFlags | kFlagChosenByHand);

  EXPECT_EQ(RunOnce(u"/Today"), 0);
  EXPECT_EQ(StoredNumber(kSettingsKey, u"Lesson"), 1u);
  EXPECT_EQ(StoredNumber(kSettingsKey, u"Flags"), kDefaultFlags);
}

TEST_F(StartupTest, FullScreenHidesTheTaskBarWhileRunning) {
  pf::HKey key = nullptr;
  ASSERT_EQ(pf::CreateKey(kDeviceOptionsKey, pf::kKeyAllAccess, &key), pf::kRegSuccess);
  const std::uint8_t one[4] = {1, 0, 0, 0};
  ASSERT_EQ(pf::WriteValue(key, u"FullScreen", pf::kRegNumber, one, sizeof one), pf::kRegSuccess);
  pf::CloseKey(key);

  pf::HWin taskBar = pf::GetTaskBar();
  ASSERT_TRUE(pf::IsWindowVisible(taskBar));
  bool hiddenWhileRunning = false;
  pf::Rect mainRect;
  EXPECT_EQ(RunOnce(u"", [&] {
              hiddenWhileRunning = !pf::IsWindowVisible(taskBar);
              pf::GetWindowRect(App.MainWindow, &mainRect);
            }),
            0);
  EXPECT_TRUE(hiddenWhileRunning);
  EXPECT_EQ(mainRect.top, 0);  // the window covers the screen from its top edge
  EXPECT_TRUE(pf::IsWindowVisible(taskBar));

  // A task bar hidden before the start stays hidden.
  pf::ShowWindow(taskBar, pf::kShowHide);
  EXPECT_EQ(RunOnce(u""), 0);
  EXPECT_FALSE(pf::IsWindowVisible(taskBar));
}

TEST_F(StartupTest, WithoutFullScreenTheTaskBarIsLeftAlone) {
  pf::HWin taskBar = pf::GetTaskBar();
  bool visibleWhileRunning = false;
  EXPECT_EQ(RunOnce(u"", [&] { visibleWhileRunning = pf::IsWindowVisible(taskBar); }), 0);
  EXPECT_TRUE(visibleWhileRunning);
}

// Memory running out at any allocation of the start-up: the user is told, the
// program ends with 0, and no stored value is replaced by a default.
TEST_F(StartupTest, OutOfMemoryAtAnyStepKeepsStoredValues) {
  ASSERT_EQ(WriteSettingString(u"FontName", u"Stored Face"), 1);
  ASSERT_EQ(WriteSettingNumber(u"FontSize", 14), 1);
  ASSERT_EQ(WriteSettingNumber(u"FontAsciiBase", 224), 1);
  ASSERT_EQ(WriteSettingNumber(u"LastPosition", 9), 1);
  ASSERT_EQ(WriteSettingNumber(u"Flags", static_cast<std::int32_t>(0xD1140044u)), 1);
  ASSERT_EQ(WriteSettingNumber(u"Lesson", 17), 1);
  const std::uint8_t search[] = {'a', 'b', 0};
  ASSERT_EQ(WriteSettingByteString(u"SearchString", search), 1);
  const std::uint8_t marks[] = {5, 0, 9, 0, 0, 0};
  ASSERT_EQ(WriteSettingBlob(u"Bookmarks", marks, sizeof marks), 1);

  for (unsigned long n = 1;; ++n) {
    SCOPED_TRACE(n);
    boxes_.clear();
    SetAllocFailureAt(n);
    EXPECT_EQ(RunOnce(u""), 0);
    const bool failed = CheckedAllocCount() >= n;
    SetAllocFailureAt(0);
    if (failed) {
      ASSERT_EQ(boxes_.size(), 1u);
      EXPECT_EQ(boxes_[0].text, u"There is not enough memory, aborting");
      EXPECT_EQ(boxes_[0].caption, u"Error");
      EXPECT_EQ(boxes_[0].style, 0x10u);
    }
    char16_t* font = ReadSettingString(u"FontName");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(std::u16string(font), u"Stored Face");
    ReleaseBlock(font);
    EXPECT_EQ(StoredNumber(kSettingsKey, u"FontSize"), 14u);
    EXPECT_EQ(StoredNumber(kSettingsKey, u"FontAsciiBase"), 224u);
    EXPECT_EQ(StoredNumber(kSettingsKey, u"Flags"), 0xD1140044u);
    EXPECT_EQ(StoredNumber(kSettingsKey, u"Lesson"), 17u);
    std::uint32_t length = 0;
    void* stored = ReadSettingBlob(u"Bookmarks", nullptr, &length);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(std::vector<std::uint8_t>(static_cast<std::uint8_t*>(stored),
                                        static_cast<std::uint8_t*>(stored) + length),
              std::vector<std::uint8_t>(std::begin(marks), std::end(marks)));
    ReleaseBlock(stored);
    if (!failed) break;
    ASSERT_LT(n, 200u) << "start-up never finished without running out";
  }
}

}  // namespace
