#pragma once
// A growable raw byte block that never keeps old contents when it grows.
#include <windows.h>

#include <memory>

namespace BrenlowTools {

class CExpandableBuffer {
public:
    // Starts empty and grows to initialSize. Raises std::bad_alloc; nothing is held then.
    explicit CExpandableBuffer(DWORD initialSize = 0);
    // Deep copy of the other's block and size. Raises std::bad_alloc.
    CExpandableBuffer(const CExpandableBuffer& other);
    // Takes the size of the other (reallocating only when the sizes differ) and copies
    // all its bytes. Raises std::bad_alloc, leaving this buffer as it was.
    CExpandableBuffer& operator=(const CExpandableBuffer& other);
    // Takes the other's block; the other is left empty. Never raises.
    CExpandableBuffer(CExpandableBuffer&& other) noexcept;
    CExpandableBuffer& operator=(CExpandableBuffer&& other) noexcept;
    ~CExpandableBuffer() = default;

    // Exchanges blocks and sizes with other. Never raises.
    void Swap(CExpandableBuffer& other) noexcept;

    // Makes the block at least newSize bytes; a growing block is replaced by a new one
    // of exactly newSize bytes and the old contents are dropped. Returns the size.
    // Raises std::bad_alloc, leaving the old block in place.
    DWORD Resize(DWORD newSize);
    // The block, or null when empty.
    BYTE* GetBuffer() noexcept { return m_data.get(); }
    const BYTE* GetBuffer() const noexcept { return m_data.get(); }
    // Size of the block in bytes, 0 when empty.
    DWORD GetSize() const noexcept { return m_size; }
    // Hands the block to the caller, who frees it with ::operator delete; the buffer
    // is empty afterwards.
    BYTE* Detach() noexcept;

private:
    struct GlobalDelete {
        void operator()(BYTE* block) const noexcept { ::operator delete(block); }
    };
    using Block = std::unique_ptr<BYTE, GlobalDelete>;
    static Block Allocate(DWORD size);

    Block m_data;
    DWORD m_size = 0;
};

}  // namespace BrenlowTools
