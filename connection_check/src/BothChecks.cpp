#include <windows.h>

#include "connection_check/Checks.h"

namespace ConnectionCheck {

namespace {

// The gateway check's call, shared with the thread that runs it.
struct GatewayCall {
    bool (*check)(const std::string&);
    const std::string& gateway;
    bool answered = false;
};

DWORD WINAPI RunGatewayCheck(void* parameter) {
    auto* const call = static_cast<GatewayCall*>(parameter);
    call->answered = call->check(call->gateway);
    return 0;
}

}  // namespace

CheckResults RunBothChecks(const std::string& gateway, const std::string& dnsServer,
                           const Checkers& checkers) {
    CheckResults results;
    GatewayCall call{checkers.gateway, gateway};
    const HANDLE thread = ::CreateThread(nullptr, 0, &RunGatewayCheck, &call, 0, nullptr);
    if (thread == nullptr) call.answered = call.check(gateway);
    results.dns = checkers.dns(dnsServer);
    if (thread != nullptr) {
        // The call lives on this stack: the thread must have ended before it goes.
        ::WaitForSingleObject(thread, INFINITE);
        ::CloseHandle(thread);
    }
    results.gatewayAnswered = call.answered;
    return results;
}

}  // namespace ConnectionCheck
