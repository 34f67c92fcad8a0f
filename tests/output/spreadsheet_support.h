#pragma once
// Helpers of the spreadsheet tests.
#include "stand_in_programs.h"

#include <string>

namespace zorvika::test {

inline bool startsWithOleSignature(const std::string& bytes)
{
    return bytes.size() >= 8 && bytes.compare(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") == 0;
}

} // namespace zorvika::test
