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

// One table per kind of resource. Kinds that later areas need (menus, dialog
// templates) are added here as members of their own.
struct ResourceTables {
  std::span<const BinaryResource> rcdata;   // raw data by number
  std::span<const BinaryResource> bitmaps;  // BMP files, as stored on disk
  std::span<const BinaryResource> icons;    // icon files
  std::span<const StringResource> strings;  // string table
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

}  // namespace pf
