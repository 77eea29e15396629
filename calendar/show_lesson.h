#pragma once
// Moving the reading view to another lesson: today's, a chosen one, or the
// previous or next one with wrap-around between 245 and 1.

#include <cstdint>

#include "platform/handles.h"

// Selects lesson `requested` (0: today's, whatever was chosen by hand), loads
// it, lays it out in the view at its first row and repaints. 0 on success; 1
// when it could not be loaded or laid out, in which case Lesson and Flags are
// as they were and the view keeps the lesson it shows. Without a view nothing
// is shown and 1 is returned.
int ShowLesson(pf::HWin window, std::uint16_t requested);

// Shows lesson Lesson + step (+1 or -1), 245 wrapping to 1 and 1 to 245.
void StepLesson(pf::HWin window, int step);
