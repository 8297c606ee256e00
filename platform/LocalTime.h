// Local time, thread-safe.
#pragma once

#include <ctime>

// The broken-down local time of t; false when the system cannot convert it.
bool ToLocalTime(std::time_t t, std::tm& out);
