#include "DisplayText.h"

#include <cstring>

namespace BrenlowTools::Internal {

namespace {

std::unique_ptr<char[]> CopyText(const char* text, size_t length) {
    auto copy = std::make_unique<char[]>(length + 1);
    if (length != 0) std::memcpy(copy.get(), text, length);
    copy[length] = '\0';
    return copy;
}

}  // namespace

std::unique_ptr<char[]> MakeDisplayText(DWORD type, const BYTE* data, DWORD size) {
    if (data == nullptr) size = 0;
    switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
        case REG_MULTI_SZ: {
            // Up to the first zero, which also ends the first string of a list.
            const void* const zero = size == 0 ? nullptr : std::memchr(data, 0, size);
            const size_t length = zero != nullptr ? static_cast<const BYTE*>(zero) - data : size;
            return CopyText(reinterpret_cast<const char*>(data), length);
        }
        case REG_DWORD:
        case REG_DWORD_BIG_ENDIAN: {
            static constexpr char kNumberText[] = "A number";
            return CopyText(kNumberText, sizeof kNumberText - 1);
        }
        default: {
            static constexpr char kDigits[] = "0123456789abcdef";
            auto text = std::make_unique<char[]>(static_cast<size_t>(size) * 2 + 1);
            for (DWORD i = 0; i < size; ++i) {
                text[2 * i] = kDigits[data[i] >> 4];
                text[2 * i + 1] = kDigits[data[i] & 0x0F];
            }
            text[static_cast<size_t>(size) * 2] = '\0';
            return text;
        }
    }
}

}  // namespace BrenlowTools::Internal
