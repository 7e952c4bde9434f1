#include "platform/ConnectionChecks.h"

#include <windows.h>

#include "platform/MessageWait.h"
#include "win_base/UniqueHandle.h"

namespace {

// The checks' addresses and results, shared with the thread that runs them.
struct ChecksCall {
    const std::string& gateway;
    const std::string& dnsServer;
    ConnectionCheck::CheckResults results;
};

DWORD WINAPI RunChecks(void* parameter) {
    auto* const call = static_cast<ChecksCall*>(parameter);
    call->results = ConnectionCheck::RunBothChecks(call->gateway, call->dnsServer);
    return 0;
}

}  // namespace

// On the calling thread when no thread can be started (the windows then wait with it,
// at most the slower check's time).
ConnectionCheck::CheckResults CConnectionChecks::Run(const std::string& gateway,
                                                     const std::string& dnsServer) {
    ChecksCall call{gateway, dnsServer, {}};
    const WinBase::UniqueKernelHandle thread(::CreateThread(nullptr, 0, &RunChecks, &call, 0, nullptr));
    if (!thread) return ConnectionCheck::RunBothChecks(gateway, dnsServer);
    // The call lives on this stack: the thread must have ended before it goes.
    if (!WaitDispatchingMessages(thread.get())) ::WaitForSingleObject(thread.get(), INFINITE);
    return call.results;
}
