#pragma once
// What a test asks of a result: the kind it failed with, or nothing when it
// succeeded, so that `EXPECT_EQ(failureKind(r), Kind::X)` fails cleanly (and
// never reads a kind that is not there) when `r` did not fail.
#include "base/result.h"

#include <optional>

namespace zorvika::test {

template <typename T, typename Kind>
std::optional<Kind> failureKind(const Result<T, Kind>& result)
{
    if (result.ok())
        return std::nullopt;
    return result.kind();
}

} // namespace zorvika::test
