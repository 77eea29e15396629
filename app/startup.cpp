#include "app/startup.h"

#include "app/app_state.h"

// Filled in as the platform core lands.
void ReportOutOfMemory() {}
void ShutDown() {}
int CorvellaMain(pf::HInstance, pf::HInstance, const char16_t*, int) { return 0; }
