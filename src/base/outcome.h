#pragma once
// What an operation that may fail gives back: success, or the reason it
// failed in words a user can read ("No space left on device"). Reading,
// writing and exporting files all report so; a caller that must tell kinds
// of failure apart gets a status beside it (`ReadStatus`, `ExportStatus`).
#include <string>
#include <utility>

namespace zorvika {

class [[nodiscard]] Outcome {
public:
    Outcome() = default; // success

    static Outcome failure(std::string reason)
    {
        Outcome outcome;
        outcome.reason_ = reason.empty() ? std::string("failed") : std::move(reason);
        return outcome;
    }

    bool ok() const { return reason_.empty(); }
    explicit operator bool() const { return ok(); }
    // Empty on success.
    const std::string& reason() const { return reason_; }

private:
    std::string reason_;
};

} // namespace zorvika
