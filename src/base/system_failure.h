#pragma once
// The system's errors as failures: an errno value worded as the C library
// words it ("No such file or directory"), with the common causes named so
// that a face may say them in its own words. Windows' own codes reach here
// translated to errno values, so both systems word their errors alike.
#include "base/result.h"

#include <string>

namespace zorvika {

// The common cause an errno value stands for; `Other` for the rest.
Cause causeOf(int errnoValue);

// "No such file or directory" and the like, for errno.
std::string systemReason(int errnoValue);

// The failure the system gave with `errnoValue`: its words, and their cause.
Failure<> systemFailure(int errnoValue);

} // namespace zorvika
