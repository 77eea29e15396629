// The resource script: every resource the executable carries, by kind and
// number.
#include "resources/resource_script.h"

#include <array>
#include <cstdint>
#include <vector>

#include "platform/resource.h"
#include "resources/course_data.h"
#include "resources/embedded_files.h"

namespace {

constexpr std::uint16_t kMenuGo = 102;
constexpr std::uint16_t kMenuBarRecordId = 102;
constexpr std::uint16_t kStringGo = 302;
constexpr std::uint16_t kIconProgram = 101;
constexpr std::uint16_t kBitmapToolbar = 114;
constexpr std::uint16_t kBitmapPlusBox = 201;
constexpr std::uint16_t kBitmapMinusBox = 202;
constexpr std::uint16_t kBitmapPage = 203;

constexpr std::uint32_t kPopup = 0x0010;
constexpr std::uint32_t kSeparator = 0x0800;

// Menu 102: the "Go" pop-up. The text after the unit 0x08 is the shortcut
// shown at the right edge; no key is bound to it.
constexpr pf::MenuTemplateItem kGoItems[] = {
    {u"&About", 40004, 0, {}},
    {u"Check For &Updates", 129, 0, {}},
    {u"", 0, kSeparator, {}},
    {u"F&ont\x08" u"Ctrl+F", 40006, 0, {}},
    {u"Re&verse", 122, 0, {}},
    {u"", 0, kSeparator, {}},
    {u"&Today\x08" u"Ctrl+Home", 108, 0, {}},
    {u"", 0, kSeparator, {}},
    {u"&Index\x08" u"Ctrl+D", 119, 0, {}},
    {u"&Bookmark", 123, 0, {}},
    {u"&Previous Article", 110, 0, {}},
    {u"&Next Article", 109, 0, {}},
    {u"", 0, kSeparator, {}},
    {u"&Search\x08" u"Alt+F3", 116, 0, {}},
    {u"Search A&gain\x08" u"F3", 117, 0, {}},
    {u"", 0, kSeparator, {}},
    {u"E&xit\x08" u"Ctrl+Q", 40005, 0, {}},
};
constexpr pf::MenuTemplateItem kGoMenu[] = {{u"&Go", 0, kPopup, kGoItems}};
constexpr pf::MenuResource kMenus[] = {{kMenuGo, kGoMenu}};

// Menu-bar record 102: nine little-endian words. Menu 102, one button: a text
// button (no image) with command 40001, enabled, drop-down and auto-size, its
// text string 302, dropping down pop-up 0 of the menu.
constexpr std::uint16_t kMenuBarWords[] = {102, 1, 0xFFFE, 40001, 0x0004, 0x0018, 302, 0, 0};
constexpr std::array<std::uint8_t, 2 * std::size(kMenuBarWords)> LittleEndian() {
  std::array<std::uint8_t, 2 * std::size(kMenuBarWords)> bytes{};
  for (std::size_t i = 0; i < std::size(kMenuBarWords); ++i) {
    bytes[2 * i] = static_cast<std::uint8_t>(kMenuBarWords[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<std::uint8_t>(kMenuBarWords[i] >> 8);
  }
  return bytes;
}
constexpr auto kMenuBarRecord = LittleEndian();

constexpr pf::StringResource kStrings[] = {{kStringGo, u"Go"}};

const pf::BinaryResource kBitmaps[] = {
    {kBitmapToolbar, kToolbarBmpBytes()},
    {kBitmapPlusBox, kPlusBoxBmpBytes()},
    {kBitmapMinusBox, kMinusBoxBmpBytes()},
    {kBitmapPage, kPageBmpBytes()},
};

const pf::BinaryResource kIcons[] = {{kIconProgram, kProgramIconBytes()}};

// The course's lessons and index, then the program's own data.
std::vector<pf::BinaryResource> RcData() {
  const auto course = CourseRcData();
  std::vector<pf::BinaryResource> all(course.begin(), course.end());
  all.push_back({kMenuBarRecordId, kMenuBarRecord});
  return all;
}

const std::vector<pf::BinaryResource> rcdata = RcData();

pf::ResourceTables MakeTables() {
  pf::ResourceTables tables{};
  tables.rcdata = rcdata;
  tables.bitmaps = kBitmaps;
  tables.icons = kIcons;
  tables.strings = kStrings;
  tables.menus = kMenus;
  return tables;
}

const pf::ResourceTables tables = MakeTables();

}  // namespace

void InstallProgramResources() { pf::InstallResources(&tables); }
