// Linux entry: takes the platform's options off argv, installs the resources,
// calls the system's entry routine and returns its code.
#include <string>

#include "app/startup.h"
#include "resources/resource_script.h"

int main(int argc, char** argv) {
  InstallProgramResources();
  std::u16string commandLine;
  (void)argc;
  (void)argv;
  return CorvellaMain(nullptr, nullptr, commandLine.c_str(), 1);
}
