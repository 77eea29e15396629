#include "platform/resource.h"

namespace pf {
namespace {

const ResourceTables* installed = nullptr;

template <typename T>
const T* FindIn(std::span<const T> table, unsigned id) {
  for (const T& entry : table) {
    if (entry.id == id) return &entry;
  }
  return nullptr;
}

}  // namespace

void InstallResources(const ResourceTables* tables) { installed = tables; }

const BinaryResource* FindRcData(unsigned id) {
  return installed ? FindIn(installed->rcdata, id) : nullptr;
}

const BinaryResource* FindBitmapResource(unsigned id) {
  return installed ? FindIn(installed->bitmaps, id) : nullptr;
}

const BinaryResource* FindIconResource(unsigned id) {
  return installed ? FindIn(installed->icons, id) : nullptr;
}

const StringResource* FindStringResource(unsigned id) {
  return installed ? FindIn(installed->strings, id) : nullptr;
}

const MenuResource* FindMenuResource(unsigned id) {
  return installed ? FindIn(installed->menus, id) : nullptr;
}

}  // namespace pf
