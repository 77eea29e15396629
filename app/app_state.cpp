#include "app/app_state.h"

AppState App{};
std::int32_t IgnoreActivate = 0;
std::int32_t FullScreen = 0;
std::int32_t AllowSipInHebrewSearch = 1;
pf::HWin TaskBar = nullptr;
