// Stand-in for step 9 of LoadSettings until the drawing layer can load bitmap
// resources. Delete this file when the real LoadIndexBitmaps exists.

#include "app/settings.h"

void LoadIndexBitmaps() {}
