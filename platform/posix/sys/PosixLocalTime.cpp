#include "platform/LocalTime.h"

bool ToLocalTime(std::time_t t, std::tm& out) {
    return localtime_r(&t, &out) != nullptr;
}
