#include "resources/resource_script.h"

#include "platform/resource.h"

namespace {
const pf::ResourceTables tables{};
}  // namespace

void InstallProgramResources() { pf::InstallResources(&tables); }
