// Stand-ins for steps of LoadSettings that belong to other areas. Each is
// removed from here when its owner provides the real one.

#include "app/settings.h"

void LoadIndexBitmaps() {}
void LoadBookmarks() {}
