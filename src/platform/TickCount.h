#pragma once
// A 32-bit millisecond tick count that wraps after about 49.7 days, as the station's timers
// expect. Tests replace the source to step across the wrap-around without waiting.
#include <cstdint>
#include <functional>

namespace platform {

using TickSource = std::function<std::uint32_t()>;

std::uint32_t GetTickCount();
// Installs a replacement source; an empty function restores the monotonic clock.
void SetTickSource(TickSource source);

// Milliseconds from `earlier` to `later` on the wrapping counter.
inline std::uint32_t TickElapsed(std::uint32_t earlier, std::uint32_t later) { return later - earlier; }

void Sleep(std::uint32_t milliseconds);

}  // namespace platform
