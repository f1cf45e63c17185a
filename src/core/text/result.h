#pragma once
// What an operation that can fail with a message gives back: its value, or
// the message for the user (code page 932) that says why there is none.
// New and changed code returns this instead of a bool with an out-parameter.
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace lv {

struct Failure {
    std::string message;
};

template <class T = void>
class [[nodiscard]] Result {
public:
    Result(T value) : m_state(std::move(value)) {}
    Result(Failure failure) : m_state(std::move(failure)) {}

    explicit operator bool() const { return m_state.index() == 0; }
    T& operator*() { return std::get<0>(m_state); }
    const T& operator*() const { return std::get<0>(m_state); }
    T* operator->() { return &std::get<0>(m_state); }
    const T* operator->() const { return &std::get<0>(m_state); }
    // Empty on success.
    const std::string& Error() const {
        static const std::string none;
        return *this ? none : std::get<1>(m_state).message;
    }

private:
    std::variant<T, Failure> m_state;
};

// Success with nothing to give back.
template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : m_failure(std::move(failure)) {}

    explicit operator bool() const { return !m_failure; }
    const std::string& Error() const {
        static const std::string none;
        return m_failure ? m_failure->message : none;
    }

private:
    std::optional<Failure> m_failure;
};

}  // namespace lv
