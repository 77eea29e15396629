#pragma once
// The course the executable carries: lessons 1 to 245 as RCDATA 1001 to 1245
// and the index as RCDATA 32767, each a LessonResource. The definition is
// generated at build time by the course compiler from resources/course/.

#include <span>

#include "platform/resource.h"

// The course's resources, sorted by number; static data that lives as long as
// the program.
std::span<const pf::BinaryResource> CourseRcData();
