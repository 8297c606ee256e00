// One call of the call history.
#pragma once

#include <cstdint>
#include <string>

struct CdrRecord {
    std::u16string strNumber; // the other party's number; never empty in the store
    std::u16string strName;   // the other party's name; empty for a placed call
    std::u16string strTime;   // local time, "%Y/%m/%d %H:%M:%S"
    uint16_t nMode = 0;       // 0 placed (発信), 1 received (着信); other values read as received
};
