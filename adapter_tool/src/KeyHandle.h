// One open registry key of Adapset, closed when the handle goes.
#pragma once

#include <windows.h>

#include <utility>

class KeyHandle {
public:
    KeyHandle() = default;
    ~KeyHandle() {
        if (m_key != nullptr) RegCloseKey(m_key);
    }
    KeyHandle(KeyHandle&& other) noexcept : m_key(std::exchange(other.m_key, nullptr)) {}
    KeyHandle& operator=(KeyHandle&& other) noexcept {
        std::swap(m_key, other.m_key);
        return *this;
    }
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;

    // Opens path below parent with the access asked for, always in the 64-bit registry
    // view (a 32-bit build on 64-bit Windows would otherwise see the 32-bit one).
    // Returns the open's status; the handle holds the key only on success and is left
    // empty otherwise.
    LONG Open(HKEY parent, const char* path, REGSAM access) {
        *this = KeyHandle();
        return RegOpenKeyExA(parent, path, 0, access | KEY_WOW64_64KEY, &m_key);
    }

    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};
