// One move-only owner for every kind of Win32 handle, and its kinds: registry keys,
// files, find handles, kernel objects (processes, threads, tokens), libraries and
// local memory. A handle bound at run time (a socket, an echo handle) uses a traits
// object that carries its close call.
#pragma once
#include <windows.h>

#include <utility>

namespace WinBase {

// Traits: `Type`, `static Type Invalid()` and `Close(Type)` (static, or a member of a
// traits object the owner keeps). Close is called once for every valid handle owned.
// The names follow std::unique_ptr's, which the owners it replaced were.
template <typename Traits>
class UniqueHandle : private Traits {
public:
    using Type = typename Traits::Type;

    UniqueHandle() noexcept : m_handle(Traits::Invalid()) {}
    explicit UniqueHandle(Type handle, Traits traits = Traits()) noexcept
        : Traits(std::move(traits)), m_handle(handle) {}
    ~UniqueHandle() { CloseHeld(); }
    UniqueHandle(UniqueHandle&& other) noexcept
        : Traits(static_cast<const Traits&>(other)), m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            CloseHeld();
            static_cast<Traits&>(*this) = static_cast<const Traits&>(other);
            m_handle = other.release();
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Type get() const noexcept { return m_handle; }
    explicit operator bool() const noexcept { return m_handle != Traits::Invalid(); }

    // Gives the handle up without closing it; the owner is then empty.
    Type release() noexcept { return std::exchange(m_handle, Traits::Invalid()); }

    // Closes the handle held, if any, and owns handle instead.
    void reset(Type handle = Traits::Invalid()) noexcept {
        CloseHeld();
        m_handle = handle;
    }

    // Closes the handle held and returns where an out-parameter call stores a new one.
    Type* put() noexcept {
        reset();
        return &m_handle;
    }

private:
    void CloseHeld() noexcept {
        if (*this) Traits::Close(std::exchange(m_handle, Traits::Invalid()));
    }

    Type m_handle;
};

struct KeyTraits {
    using Type = HKEY;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type key) noexcept { ::RegCloseKey(key); }
};

// CreateFileW's handles, invalid as INVALID_HANDLE_VALUE.
struct FileTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type file) noexcept { ::CloseHandle(file); }
};

struct FindTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type find) noexcept { ::FindClose(find); }
};

// Processes, threads, tokens, events: invalid as null.
struct KernelTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type handle) noexcept { ::CloseHandle(handle); }
};

struct LibraryTraits {
    using Type = HMODULE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type module) noexcept { ::FreeLibrary(module); }
};

// Memory the system allocated with LocalAlloc for the caller (descriptors, SIDs,
// message texts).
struct LocalMemoryTraits {
    using Type = HLOCAL;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type memory) noexcept { ::LocalFree(memory); }
};

using UniqueKey = UniqueHandle<KeyTraits>;
using UniqueFile = UniqueHandle<FileTraits>;
using UniqueFind = UniqueHandle<FindTraits>;
using UniqueKernelHandle = UniqueHandle<KernelTraits>;
using UniqueLibrary = UniqueHandle<LibraryTraits>;
using UniqueLocalMemory = UniqueHandle<LocalMemoryTraits>;

}  // namespace WinBase
