// Helpers of the fuzz targets: reading the fuzzer's bytes as texts and profiles, and checks that stop
// the run the way a sanitizer does, so libFuzzer and the replay driver both report them.
#pragma once

#include "app/MemoryProfile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A property that must hold for every input: prints the failed condition and aborts.
#define FUZZ_CHECK(cond)                                                                                     \
    do {                                                                                                     \
        if (!(cond))                                                                                         \
            FuzzCheckFailed(#cond, __FILE__, __LINE__);                                                      \
    } while (false)

[[noreturn]] void FuzzCheckFailed(const char* szCond, const char* szFile, int nLine);

inline std::string_view AsBytes(const uint8_t* pData, size_t nSize) {
    return {reinterpret_cast<const char*>(pData), nSize};
}

// The bytes as little-endian UTF-16 code units, lone surrogates and NULs included; an odd last byte
// is dropped. Reaches texts that no UTF-8 decoding produces.
std::u16string BytesAsU16(std::string_view bytes);

// The bytes split at every occurrence of chSep; always at least one part.
std::vector<std::string_view> SplitBytes(std::string_view bytes, char chSep);

// A decimal integer with an optional '-', wrapped to 32 bits; reading stops at the first non-digit.
int WrappedInt(std::string_view text);

// A profile written as lines: "[Section]" starts a section, "entry=text" stores a text (UTF-8),
// "entry:number" an integer (decimal, wrapped to 32 bits, so any stored integer can be reached). Lines
// before the first section header go to strDefaultSection; lines of another form are skipped.
CMemoryProfile ProfileFromInput(std::string_view bytes, std::u16string_view strDefaultSection);
