#include "HistoryGlobals.h"

std::int32_t HistoryGroupIndex = 0;
