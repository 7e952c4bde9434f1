#pragma once
// Reference-counted owners of one key handle, shared by keys and iterators.
#include <windows.h>

namespace BrenlowTools {

// Holds one handle and a count of its users; the last Release closes and deletes it.
// Always allocated with new; the count starts at 1 for the creator.
class CCountedHandle {
public:
    // Takes the handle (may be null) with a count of 1. Never raises.
    explicit CCountedHandle(HKEY handle) noexcept : m_handle(handle) {}
    CCountedHandle(const CCountedHandle&) = delete;
    CCountedHandle& operator=(const CCountedHandle&) = delete;

    // Closes the handle; called once, by the Release that drops the count to zero.
    virtual void Close() = 0;
    virtual ~CCountedHandle() = default;

    // Adds one user (interlocked). Returns this holder. Never raises.
    CCountedHandle* AddRef() noexcept;
    // Drops one user (interlocked); at zero closes the handle (any exception from
    // Close is dropped) and deletes the holder. Always returns null, for the caller to
    // store into the pointer it released.
    CCountedHandle* Release() noexcept;
    // The held handle; it stays owned by the holder.
    HKEY GetHandle() const noexcept { return m_handle; }

private:
    HKEY m_handle;
    LONG volatile m_count = 1;
};

// The holder of a registry key handle: Close is RegCloseKey, result ignored.
class CCountedRegKey : public CCountedHandle {
public:
    explicit CCountedRegKey(HKEY handle) noexcept : CCountedHandle(handle) {}
    void Close() override;

    // AddRef with the holder's own type. Never raises.
    CCountedRegKey* AddRef() noexcept {
        CCountedHandle::AddRef();
        return this;
    }
    // Release with the holder's own type; always returns null. Never raises.
    CCountedRegKey* Release() noexcept {
        CCountedHandle::Release();
        return nullptr;
    }
};

// AddRef that accepts null: null for null, else the holder with one more user.
inline CCountedRegKey* AddRefIfNotNull(CCountedRegKey* holder) noexcept {
    return holder == nullptr ? nullptr : holder->AddRef();
}

}  // namespace BrenlowTools
