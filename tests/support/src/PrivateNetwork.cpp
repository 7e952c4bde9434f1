#include "test_support/PrivateNetwork.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <vector>

namespace TestSupport {

std::string PrivateNetworkProblem() {
    ULONG size = 16 * 1024;
    std::vector<BYTE> buffer;
    ULONG status = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 4 && status == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.resize(size);
        status = GetAdaptersAddresses(AF_UNSPEC, 0, nullptr,
                                      reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    if (status == ERROR_NO_DATA) return std::string();
    if (status != ERROR_SUCCESS)
        return "cannot list the network interfaces (error " + std::to_string(status) + ")";
    std::string others;
    for (auto* a = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()); a != nullptr; a = a->Next) {
        const std::wstring description = a->Description != nullptr ? a->Description : L"";
        if (a->IfType == IF_TYPE_SOFTWARE_LOOPBACK || description == L"lo" || description == L"tpc" ||
            description == L"tmodem")
            continue;
        others += " " + std::string(description.begin(), description.end());
    }
    if (others.empty()) return std::string();
    return "not in a private network namespace (interfaces:" + others +
           "); run the tests through scripts/test.sh or scripts/private-network.sh";
}

}  // namespace TestSupport
