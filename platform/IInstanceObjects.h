// The objects shared between instances of the program in one login: the single-instance lock and
// the 4-byte login flag with its guard. Both are released by the system when a process dies.
#pragma once

#include <cstdint>

class ISharedLoginFlag {
public:
    virtual ~ISharedLoginFlag() = default;
    // Reads the flag under its guard; false when the flag could not be created or mapped.
    virtual bool Read(uint32_t& value) = 0;
    // Stores the flag under its guard; false when the flag could not be created or mapped.
    virtual bool Write(uint32_t value) = 0;
};

class ISingleInstance {
public:
    virtual ~ISingleInstance() = default;
    // Takes the program's lock; true when another process of this login already holds it.
    virtual bool IsSecondInstance() = 0;
};
