#pragma once
// What an operation that may fail gives back: its value, or a `Failure`
// saying why in words a user can read ("list.csv: No space left on
// device"). Where callers must tell failures apart (a missing file from an
// unreadable one, say) the failure also carries a kind from the caller's
// own enum; elsewhere the kind is `Failed` and only the reason counts.
//
//     Result<std::string> readName(...);           // a name, or why not
//     Result<void, ReadError> check(...);           // nothing, or a kind and why not
//     Outcome save(...);                           // = Result<void>
//
// A face (a message box, one line on standard error) shows `reason()`.
#include <cstddef>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace zorvika {

// The kind of a failure that has no kinds to tell apart.
enum class Failed { Failed };

// The system's common reasons, which a face may say in its own table's
// words; `Other` keeps the system's text.
enum class Cause { Other, NoSuchFile, PermissionDenied, NotRegularFile, DiskFull, NotRepository };

template <typename Kind = Failed>
struct Failure {
    Kind kind{};
    std::string reason; // never empty: "failed" where nothing better is known
    // Where the reason ends in the system's words for `cause` ("No space
    // left on device"), the offset they start at; they run to the end.
    Cause cause = Cause::Other;
    std::size_t causeAt = std::string::npos;

    // The same failure about something: "subject: reason".
    Failure about(const std::string& subject) const
    {
        Failure named = *this;
        named.reason = subject + ": " + reason;
        if (causeAt != std::string::npos)
            named.causeAt = causeAt + subject.size() + 2;
        return named;
    }
    // The same failure of another kind.
    template <typename Other>
    Failure<Other> as(Other otherKind) const
    {
        return {otherKind, reason, cause, causeAt};
    }
    // The reason with the system's words for a known cause replaced by
    // `words` (a face's own text for it).
    std::string reasonSaying(const std::string& words) const
    {
        if (cause == Cause::Other || causeAt > reason.size())
            return reason;
        return reason.substr(0, causeAt) + words;
    }
};

// A failure told only by its reason.
inline Failure<> fail(std::string reason)
{
    return {Failed::Failed, reason.empty() ? std::string("failed") : std::move(reason)};
}

// A failure the system gave for a common cause, in its own words.
inline Failure<> fail(Cause cause, std::string systemWords)
{
    Failure<> failure = fail(std::move(systemWords));
    failure.cause = cause;
    failure.causeAt = 0;
    return failure;
}

// A failure of a kind, with its reason.
template <typename Kind>
Failure<Kind> fail(Kind kind, std::string reason)
{
    return {kind, reason.empty() ? std::string("failed") : std::move(reason)};
}

template <typename T, typename Kind = Failed>
class [[nodiscard]] Result {
public:
    using Value = T;
    using Problem = Failure<Kind>;

    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(Problem failure) : state_(std::in_place_index<1>, std::move(failure)) {}
    // The same failure, from a result of another value.
    template <typename U>
    static Result failureOf(const Result<U, Kind>& other) { return Result(other.failure()); }

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    // Only on success.
    T& value() & { return std::get<0>(state_); }
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T valueOr(T fallback) const& { return ok() ? value() : std::move(fallback); }

    // Only on failure.
    const Problem& failure() const { return std::get<1>(state_); }
    Kind kind() const { return failure().kind; }
    // Empty on success.
    const std::string& reason() const { return ok() ? empty() : failure().reason; }

private:
    static const std::string& empty()
    {
        static const std::string none;
        return none;
    }
    std::variant<T, Problem> state_;
};

template <typename Kind>
class [[nodiscard]] Result<void, Kind> {
public:
    using Value = void;
    using Problem = Failure<Kind>;

    Result() = default; // success
    Result(Problem failure) : failure_(std::move(failure)) {}
    template <typename U>
    static Result failureOf(const Result<U, Kind>& other) { return Result(other.failure()); }
    // A failure told only by its reason.
    static Result failure(std::string reason)
        requires std::is_same_v<Kind, Failed>
    {
        return Result(fail(std::move(reason)));
    }

    bool ok() const { return !failure_.has_value(); }
    explicit operator bool() const { return ok(); }

    // Only on failure.
    const Problem& failure() const { return *failure_; }
    Kind kind() const { return failure_->kind; }
    // Empty on success.
    const std::string& reason() const
    {
        static const std::string none;
        return failure_ ? failure_->reason : none;
    }

private:
    std::optional<Problem> failure_;
};

// Nothing, or why not.
using Outcome = Result<void>;

} // namespace zorvika
