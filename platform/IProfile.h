// The per-user profile: sections of named integer and string entries.
#pragma once

#include <string>
#include <string_view>

class IProfile {
public:
    virtual ~IProfile() = default;

    // The stored integer, or nDefault when the entry is absent or holds no integer.
    virtual int GetProfileInt(std::u16string_view section, std::u16string_view entry, int nDefault) = 0;
    // The stored text, or strDefault when the entry is absent.
    virtual std::u16string GetProfileString(std::u16string_view section, std::u16string_view entry,
                                            std::u16string_view strDefault) = 0;
    virtual bool WriteProfileInt(std::u16string_view section, std::u16string_view entry, int nValue) = 0;
    virtual bool WriteProfileString(std::u16string_view section, std::u16string_view entry,
                                    std::u16string_view value) = 0;
    // Puts the writes made so far on disk in one atomic step; writers call it after a group of writes.
    virtual void Flush() = 0;
    // Where the profile is, when something other than a file stands in its place so that nothing can be
    // read from or stored in it; empty while the profile can be used.
    virtual std::u16string UnusablePath() const { return {}; }
};
