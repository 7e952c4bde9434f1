#include "pages/ApplyMessages.h"

#include <algorithm>

#include "win_base/DecimalText.h"
#include "apply/AddressRules.h"
#include "win_base/TextConversion.h"
#include "pages/ResourceText.h"
#include "resources/resource.h"

namespace {

std::wstring StoreFailureText(const std::wstring& connection, const std::vector<StoreStep>& failed) {
    const bool notOpened = std::find(failed.begin(), failed.end(), StoreStep::Open) != failed.end();
    std::wstring text = ResourceText(notOpened ? IDS_STORE_OPEN_FAILED : IDS_STORE_WRITE_FAILED, connection);
    if (notOpened) return text;
    const std::pair<StoreStep, UINT> names[] = {{StoreStep::IPAddress, IDS_VALUE_IP_ADDRESS},
                                                {StoreStep::SubnetMask, IDS_VALUE_SUBNET_MASK},
                                                {StoreStep::DefaultGateway, IDS_VALUE_GATEWAY},
                                                {StoreStep::NameServer, IDS_VALUE_DNS},
                                                {StoreStep::DisableDhcp, IDS_VALUE_DHCP_OFF}};
    bool first = true;
    for (const auto& [step, name] : names) {
        if (std::find(failed.begin(), failed.end(), step) == failed.end()) continue;
        text += (first ? L"" : L"、") + ResourceText(name);
        first = false;
    }
    return text;
}

std::wstring StepText(const std::wstring& connection, const ApplyFailure& failure) {
    switch (failure.step) {
        case ApplyFailure::Step::NetworkShell:
            return failure.exitStatus ? ResourceText(IDS_FAILED_SHELL_STATUS, connection,
                                                     WinBase::DecimalText(*failure.exitStatus))
                                      : ResourceText(IDS_FAILED_SHELL_START, connection);
        case ApplyFailure::Step::Tool:
            return failure.exitStatus ? ResourceText(IDS_FAILED_TOOL_STATUS, connection,
                                                     WinBase::DecimalText(*failure.exitStatus))
                                      : ResourceText(IDS_FAILED_TOOL_START, connection);
        case ApplyFailure::Step::Store:
            break;
    }
    return StoreFailureText(connection, failure.storeSteps);
}

// What a way back left undone, with what to do by hand; empty when nothing.
std::wstring LeftUndone(const WayBackOutcome& outcome) {
    if (outcome.notRestored)
        return ResourceText(IDS_PUT_BACK_FAILED) + L"\n" + outcome.notRestored->Describe() + L"\n\n" +
               ResourceText(IDS_PUT_BACK_BY_HAND);
    if (outcome.notRestoredAgain)
        return ResourceText(IDS_PUT_BACK_AGAIN_FAILED) + L"\n" + outcome.notRestoredAgain->Describe() +
               L"\n\n" + ResourceText(IDS_PUT_BACK_BY_HAND);
    if (!outcome.liveFailed.empty()) {
        std::wstring runs;
        for (const std::wstring& run : outcome.liveFailed) runs += (runs.empty() ? L"" : L"；") + run;
        return ResourceText(IDS_PUT_BACK_LIVE_FAILED, runs);
    }
    if (outcome.liveSkipped) return ResourceText(IDS_PUT_BACK_LIVE_SKIPPED);
    return std::wstring();
}

std::wstring EarlierSettings(const std::optional<PreviousAddress>& previous) {
    if (!previous || (!previous->dhcp && (!IsStrictIpv4(previous->address) || !IsStrictIpv4(previous->mask))))
        return ResourceText(IDS_EARLIER_UNKNOWN);
    if (previous->dhcp) return ResourceText(IDS_EARLIER_DHCP);
    std::wstring text = ResourceText(IDS_EARLIER_ADDRESS, WinBase::WideFromNarrow(previous->address),
                                     WinBase::WideFromNarrow(previous->mask));
    if (IsStrictIpv4(previous->gateway))
        text += ResourceText(IDS_EARLIER_GATEWAY, WinBase::WideFromNarrow(previous->gateway));
    return text;
}

}  // namespace

std::wstring ApplyFailureText(const std::wstring& connection, const ApplyFailure& failure,
                              const WayBackOutcome& putBack) {
    const std::wstring undone = LeftUndone(putBack);
    return StepText(connection, failure) + L"\n\n" +
           (undone.empty() ? ResourceText(IDS_PUT_BACK_DONE) : undone);
}

std::wstring WayBackText(const std::wstring& connection, const std::optional<PreviousAddress>& previous,
                         const WayBackOutcome& outcome) {
    const std::wstring undone = LeftUndone(outcome);
    if (undone.empty()) return ResourceText(IDS_WAY_BACK_DONE, connection, EarlierSettings(previous));
    return ResourceText(IDS_WAY_BACK_RESTART, connection, EarlierSettings(previous)) + L"\n\n" + undone;
}
