#pragma once
// Helpers shared by the fuzz targets.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace zorvika::fuzz {

inline std::string_view asText(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

// Aborts (a finding for the fuzzer) when a property does not hold.
inline void require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace zorvika::fuzz
