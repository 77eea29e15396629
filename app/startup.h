#pragma once
// The program's entry routine, the start of the main window, the message loop
// and the shut-down path.

#include <string_view>

#include "platform/handles.h"

// The entry routine. `commandLine` is the whole command line (UTF-16, may be
// empty, never null). Returns the exit code: the quit message's parameter.
int CorvellaMain(pf::HInstance instance, pf::HInstance previous, const char16_t* commandLine,
                 int showMode);

// True when the command line is exactly "/today", in any mix of letter case.
bool IsTodayCommandLine(std::u16string_view commandLine);

// Creates and shows the main window; null when another copy runs (which has
// then been brought forward) or when the window could not be created.
pf::HWin StartMainWindow(int showMode);

// Registers the main window's class under `className`.
void RegisterMainClass(pf::HInstance instance, const char16_t* className);

// Writes the settings and bookmarks back, frees what the program holds and
// posts the quit message. Safe to reach more than once: a second call writes
// and frees nothing.
void ShutDown();

// True once ShutDown has run in this start of the program: whoever called
// something that may allocate checks it and stops at once, touching nothing
// ShutDown released (the view, the bookmarks).
bool HasShutDown();

// Tells the user that memory ran out ("There is not enough memory, aborting").
void ReportOutOfMemory();
