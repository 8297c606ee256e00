#include "platform/LocalTime.h"

bool ToLocalTime(std::time_t t, std::tm& out) {
    return localtime_s(&out, &t) == 0;
}
