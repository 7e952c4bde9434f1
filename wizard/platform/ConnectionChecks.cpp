#include "platform/ConnectionChecks.h"

#include <windows.h>

#include "connection_check/Checks.h"
#include "platform/MessageWait.h"
#include "win_base/UniqueHandle.h"

namespace {

// One check, its address and its result, shared with the thread that runs it.
struct CheckCall {
    bool (*check)(const std::string&);
    std::string address;
    bool answered = false;
};

DWORD WINAPI RunCheck(void* parameter) {
    auto* const call = static_cast<CheckCall*>(parameter);
    call->answered = call->check(call->address);
    return 0;
}

// Runs the check on its own thread and waits for it; on the calling thread when no
// thread can be started (the windows then wait with it, at most the check's time).
bool RunWhileDispatching(bool (*check)(const std::string&), const std::string& address) {
    CheckCall call{check, address};
    const WinBase::UniqueKernelHandle thread(::CreateThread(nullptr, 0, &RunCheck, &call, 0, nullptr));
    if (!thread) return check(address);
    // The call lives on this stack: the thread must have ended before it goes.
    if (!WaitDispatchingMessages(thread.get())) ::WaitForSingleObject(thread.get(), INFINITE);
    return call.answered;
}

}  // namespace

bool CConnectionChecks::GatewayAnswers(const std::string& gateway) {
    return RunWhileDispatching(&ConnectionCheck::GatewayAnswers, gateway);
}

bool CConnectionChecks::DnsServerAnswers(const std::string& server) {
    return RunWhileDispatching(&ConnectionCheck::DnsServerAnswers, server);
}
