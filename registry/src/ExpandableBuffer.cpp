#include "registry/ExpandableBuffer.h"

#include <cstring>
#include <utility>

namespace BrenlowTools {

CExpandableBuffer::Block CExpandableBuffer::Allocate(DWORD size) {
    if (size == 0) return Block();
    return Block(static_cast<BYTE*>(::operator new(size)));
}

CExpandableBuffer::CExpandableBuffer(DWORD initialSize) {
    Resize(initialSize);
}

CExpandableBuffer::CExpandableBuffer(const CExpandableBuffer& other)
    : m_data(Allocate(other.m_size)), m_size(other.m_size) {
    if (m_size != 0) std::memcpy(m_data.get(), other.m_data.get(), m_size);
}

CExpandableBuffer& CExpandableBuffer::operator=(const CExpandableBuffer& other) {
    if (this == &other) return *this;
    if (m_size != other.m_size) {
        m_data = Allocate(other.m_size);
        m_size = other.m_size;
    }
    if (m_size != 0) std::memcpy(m_data.get(), other.m_data.get(), m_size);
    return *this;
}

CExpandableBuffer::CExpandableBuffer(CExpandableBuffer&& other) noexcept
    : m_data(std::move(other.m_data)), m_size(other.m_size) {
    other.m_size = 0;
}

CExpandableBuffer& CExpandableBuffer::operator=(CExpandableBuffer&& other) noexcept {
    CExpandableBuffer taken(std::move(other));
    Swap(taken);
    return *this;
}

void CExpandableBuffer::Swap(CExpandableBuffer& other) noexcept {
    m_data.swap(other.m_data);
    std::swap(m_size, other.m_size);
}

DWORD CExpandableBuffer::Resize(DWORD newSize) {
    if (m_size < newSize) {
        m_data = Allocate(newSize);
        m_size = newSize;
    }
    return m_size;
}

BYTE* CExpandableBuffer::Detach() noexcept {
    m_size = 0;
    return m_data.release();
}

}  // namespace BrenlowTools
