#pragma once

#include "platform/Wording.h"

#include <QString>

#include <optional>
#include <utility>

// How every operation that can fail reports: a value, or a Failure with its kind, its error
// number and text. Success is the presence of the value, never a number; what the caller does
// next follows the kind, never a number.

// The error numbers the suite's users know from its messages; only messages show them.
namespace ErrorNumber {
// This program's own failures in preparing a launch, told by their description.
inline constexpr int LaunchFailed = 1;
inline constexpr int InvalidProcedureCall = 5; // also: a program that cannot be started
inline constexpr int Overflow = 6;
inline constexpr int OutOfMemory = 7;
// A wait the operator cancelled.
inline constexpr int UserInterrupt = 18;
inline constexpr int TypeMismatch = 13;
inline constexpr int BadFileName = 52;
inline constexpr int FileNotFound = 53;
inline constexpr int DeviceIo = 57;
inline constexpr int FileAlreadyExists = 58;
inline constexpr int DiskFull = 61;
inline constexpr int DeviceUnavailable = 68;
inline constexpr int PermissionDenied = 70;
inline constexpr int PathFileAccess = 75;
inline constexpr int PathNotFound = 76;
inline constexpr int InvalidUseOfNull = 94;
// A value refused before anything was written: it would not read back as it stands.
inline constexpr int InvalidValue = 380;
inline constexpr int NoCurrentRecord = 3021;
inline constexpr int ItemNotFound = 3265;
inline constexpr int ObjectClosed = 3704;
// The number ADO gives every provider error; the description is what counts.
inline constexpr int ProviderError = -2147467259; // 0x80004005
} // namespace ErrorNumber

// The failures a caller tells apart; any other is Failed, told by its text.
enum class FailureKind {
    Failed,
    // The operator stopped waiting: nothing more is to be done, and nothing to be told.
    Cancelled,
    // The database server's name could not be read (a second-platform data source).
    ServerNameUnknown,
};

// Why an operation failed: the number its message shows, the text that explains it, and its kind.
struct Failure
{
    int number = 0;
    // In the built-in English: the shell's and the logs' text.
    QString description;
    FailureKind kind = FailureKind::Failed;
    // The description as the program words it, for a window to tell in its language; empty
    // when the description is the system's text.
    Wording wording = {};

    // A failure in the program's own words.
    static Failure Worded(int number, Wording wording, FailureKind kind = FailureKind::Failed)
    {
        QString english = wording.English();
        return Failure{number, std::move(english), kind, std::move(wording)};
    }
    // What to tell: the program's wording, else the description as it stands.
    Wording Text() const { return wording.IsEmpty() ? Wording(description) : wording; }
};

namespace ResultDetail {
// Reading the value of a failed result is a programming error; stop with its text rather
// than read an empty value.
[[noreturn]] void ValueOfFailure(const Failure &failure);
} // namespace ResultDetail

template <typename T>
class [[nodiscard]] Result
{
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Failure error) : m_error(std::move(error)) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }

    // Only on success; on a failure the program stops with the failure's text.
    T &value() & { return checked(); }
    const T &value() const & { return const_cast<Result *>(this)->checked(); }
    T &&value() && { return std::move(checked()); }
    T *operator->() { return &checked(); }
    const T *operator->() const { return &const_cast<Result *>(this)->checked(); }
    T value_or(T fallback) const { return m_value ? *m_value : fallback; }
    // Only on failure.
    const Failure &error() const { return m_error; }

private:
    T &checked()
    {
        if (!m_value)
            ResultDetail::ValueOfFailure(m_error);
        return *m_value;
    }

    std::optional<T> m_value;
    Failure m_error;
};

template <>
class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Failure error) : m_failed(true), m_error(std::move(error)) {}

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const Failure &error() const { return m_error; }

private:
    bool m_failed = false;
    Failure m_error;
};
