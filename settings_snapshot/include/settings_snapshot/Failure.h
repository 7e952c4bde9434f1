// Why an operation of the snapshot library failed, and a result that is either a
// value or such a failure. The library raises no exceptions; an operation that
// yields nothing returns std::optional<Failure>, empty on success.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <variant>

namespace SettingsSnapshot {

struct Failure {
    std::wstring subject;         // the key or file concerned ("" when none)
    std::wstring reason;          // what went wrong, in plain words
    DWORD error = ERROR_SUCCESS;  // Win32 error code; ERROR_SUCCESS for a fault in content
    size_t line = 0;              // line of a file, 1-based; 0 when none

    // One line for the user: "line 3: odd number of hex digits" or
    // "SYSTEM\...: cannot open the key for writing (error 5: Access is denied.)".
    std::wstring Describe() const;
};

// Either a value of T or the failure (a Failure, or a workflow's own kind) that prevented it.
template <typename T, typename E = Failure>
class Outcome {
public:
    Outcome(T value) : m_state(std::in_place_index<0>, std::move(value)) {}
    Outcome(E failure) : m_state(std::in_place_index<1>, std::move(failure)) {}

    bool Succeeded() const { return m_state.index() == 0; }
    explicit operator bool() const { return Succeeded(); }
    // Only when Succeeded().
    const T& Value() const { return std::get<0>(m_state); }
    T& Value() { return std::get<0>(m_state); }
    // Only when !Succeeded().
    const E& Error() const { return std::get<1>(m_state); }

private:
    std::variant<T, E> m_state;
};

}  // namespace SettingsSnapshot
