// Registry value encodings of Adapset.
#include "RegistryEncoding.h"

#include <cstring>

std::string JoinNameServers(const char* first, const char* second, char separator) {
    std::string joined = first;
    if (first[0] != '\0' && second[0] != '\0') joined += separator;
    joined += second;
    return joined;
}

std::string StringBytes(const char* text) {
    return std::string(text, strlen(text) + 1);
}

std::string MultiStringBytes(const char* text) {
    return std::string(text, strlen(text) + 1) + '\0';
}

std::string MultiStringPairBytes(const char* first, const char* second) {
    return std::string(first, strlen(first) + 1) + std::string(second, strlen(second) + 1) + '\0';
}

std::string DwordBytes(DWORD number) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((number >> (8 * i)) & 0xFF);
    return bytes;
}
