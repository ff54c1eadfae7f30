#include "LiveGlobals.h"

std::atomic<std::int32_t> SelectionChanged{0};
std::int32_t CurveGroupIndex = 0;
