#pragma once

#include <QString>

#include <utility>
#include <variant>

// Why a read failed: the message the user sees and, where it helps, the line it refers to.
struct LoadError
{
    int line = 0;
    QString message;
};

// A value or the reason there is none. GCC 12 in C++20 mode has no std::expected.
template<typename T>
class Result
{
public:
    Result(T value)
        : m_state(std::move(value))
    {
    }

    Result(LoadError error)
        : m_state(std::move(error))
    {
    }

    bool ok() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return ok(); }
    const T &value() const & { return std::get<T>(m_state); }
    T &value() & { return std::get<T>(m_state); }
    T &&value() && { return std::get<T>(std::move(m_state)); }
    const LoadError &error() const { return std::get<LoadError>(m_state); }

private:
    std::variant<T, LoadError> m_state;
};

// For operations that return nothing but may fail.
struct Done
{
};
using Status = Result<Done>;
