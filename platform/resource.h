#pragma once
// The program's resources. They are compiled into the executable: the resource
// script (resources/) installs its tables once at start, before anything looks a
// resource up; tests install tables of their own. Nothing is read from files.
//
// Lookups return pointers into the installed tables; the tables are static and
// outlive every caller, so nothing returned here is ever freed.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace pf {

struct BinaryResource {
  std::uint16_t id = 0;
  std::span<const std::uint8_t> bytes;
};

struct StringResource {
  std::uint16_t id = 0;
  std::u16string_view text;
};

// Menus. A menu resource is a list of items; an item with kMenuPopup (menu.h,
// 0x0010) in its flags heads a pop-up whose items are `popup`, and so on
// down (at most kMaxMenuDepth levels; deeper templates fail to load). Other
// flag bits: kMenuSeparator (0x0800; text and id unused), kMenuChecked
// (0x0008), kMenuGrayed (0x0001). The text of an item may hold '&' before the
// mnemonic letter ("&&" is a plain '&') and, after a unit 0x08, a shortcut
// label drawn right-aligned. Example:
//   constexpr pf::MenuTemplateItem kFileItems[] = {
//       {u"&Open\x08" u"Ctrl+O", 101, 0, {}},
//       {u"", 0, 0x0800, {}},
//       {u"E&xit", 102, 0, {}}};
//   constexpr pf::MenuTemplateItem kMenu[] = {{u"&File", 0, 0x0010, kFileItems}};
//   ... pf::MenuResource{200, kMenu} ...
struct MenuTemplateItem {
  std::u16string_view text;
  std::uint16_t id = 0;       // command id (0 for pop-ups and separators)
  std::uint32_t flags = 0;    // kMenu* item flags (menu.h)
  std::span<const MenuTemplateItem> popup;  // the pop-up's items
};
constexpr int kMaxMenuDepth = 8;

struct MenuResource {
  std::uint16_t id = 0;
  std::span<const MenuTemplateItem> items;  // the top level (a bar's pop-ups)
};

// One table per kind of resource. Kinds that later areas need (menus, dialog
// templates) are added here as members of their own.
struct ResourceTables {
  std::span<const BinaryResource> rcdata;   // raw data by number
  std::span<const BinaryResource> bitmaps;  // BMP files, as stored on disk
  std::span<const BinaryResource> icons;    // icon files
  std::span<const StringResource> strings;  // string table
  std::span<const MenuResource> menus;      // menu templates (LoadMenu in menu.h)
};

// Installs the tables every later lookup reads. The pointer is kept, not
// copied: the tables must live as long as the program (or the test). Passing
// null uninstalls them, after which every lookup finds nothing.
void InstallResources(const ResourceTables* tables);

// The RCDATA resource with this number, or null when there is none.
const BinaryResource* FindRcData(unsigned id);
// The bitmap resource with this number, or null.
const BinaryResource* FindBitmapResource(unsigned id);
// The icon resource with this number, or null.
const BinaryResource* FindIconResource(unsigned id);
// The string with this number, or null.
const StringResource* FindStringResource(unsigned id);
// The menu template with this number, or null.
const MenuResource* FindMenuResource(unsigned id);

}  // namespace pf
