// The current time for comparison with the catalogue's dates.
#pragma once
#include <cstdint>

// The current UTC wall-clock time, converted as a local time the way the catalogue dates are, so
// both carry the same offset. FALSE when the time cannot be obtained.
bool GetCurrentUtcTime(int64_t& now);
