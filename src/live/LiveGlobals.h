#pragma once
// Process-wide flags of the live display.
#include <atomic>
#include <cstdint>

// Set when a tree check box changed; cleared by the main frame after the next redraw.
extern std::atomic<std::int32_t> SelectionChanged;
// The live curve view's current group of ten devices; survives switching views.
extern std::int32_t CurveGroupIndex;
