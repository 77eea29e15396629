#pragma once
// The program's resource script: installs every resource the executable
// carries (see platform/resource.h). Called once by main before the entry
// routine.

void InstallProgramResources();
