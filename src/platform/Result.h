#pragma once

#include <QString>

#include <optional>
#include <utility>

// How every operation that can fail reports: a value, or an error with its run-time error
// number and text. Success is the presence of the value, never a number.
namespace Vb {

// The run-time error numbers, so that messages read as the suite's users know them.
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
inline constexpr int ServerNameUnknown = 3709;
// The number ADO gives every provider error; the description is what counts.
inline constexpr int ProviderError = -2147467259; // 0x80004005
} // namespace ErrorNumber

struct Error
{
    int number = 0;
    QString description;
};

} // namespace Vb

template <typename T>
class [[nodiscard]] Result
{
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Vb::Error error) : m_error(std::move(error)) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }

    // Only on success.
    T &value() & { return *m_value; }
    const T &value() const & { return *m_value; }
    T &&value() && { return std::move(*m_value); }
    T *operator->() { return &*m_value; }
    const T *operator->() const { return &*m_value; }
    T value_or(T fallback) const { return m_value ? *m_value : fallback; }
    // Only on failure.
    const Vb::Error &error() const { return m_error; }

private:
    std::optional<T> m_value;
    Vb::Error m_error;
};

template <>
class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Vb::Error error) : m_failed(true), m_error(std::move(error)) {}

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const Vb::Error &error() const { return m_error; }

private:
    bool m_failed = false;
    Vb::Error m_error;
};
