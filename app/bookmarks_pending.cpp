// Stand-in for step 10 of LoadSettings until the bookmarks land. Delete this
// file when the real LoadBookmarks exists.

#include "app/settings.h"

void LoadBookmarks() {}
