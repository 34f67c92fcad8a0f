#include "base/system_failure.h"

#include <cerrno>
#include <cstring>

namespace zorvika {

Cause causeOf(int errnoValue)
{
    switch (errnoValue) {
    case ENOENT:
    case ENOTDIR:
        return Cause::NoSuchFile;
    case EACCES:
    case EPERM:
        return Cause::PermissionDenied;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return Cause::DiskFull;
    default:
        return Cause::Other;
    }
}

std::string systemReason(int errnoValue) { return std::strerror(errnoValue); }

Failure<> systemFailure(int errnoValue)
{
    const Cause cause = causeOf(errnoValue);
    if (cause == Cause::Other)
        return fail(systemReason(errnoValue));
    return fail(cause, systemReason(errnoValue));
}

} // namespace zorvika
