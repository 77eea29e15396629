#include "resources/resource_script.h"

#include "platform/resource.h"
#include "resources/course_data.h"

namespace {

pf::ResourceTables MakeTables() {
  pf::ResourceTables tables{};
  // RCDATA: the course, generated from resources/course/ (course_data.h).
  // Further RCDATA resources would be merged with it into one table here.
  tables.rcdata = CourseRcData();
  return tables;
}

const pf::ResourceTables tables = MakeTables();

}  // namespace

void InstallProgramResources() { pf::InstallResources(&tables); }
