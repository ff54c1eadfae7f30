#pragma once
// Process-wide state of the history dialog. User-interface thread only.
#include <cstdint>

// The curve page's group of ten devices (zero-based). Outlives the dialog: the next opening
// starts at the group shown last.
extern std::int32_t HistoryGroupIndex;
