// The run decision of Adapset.
#include "RunDecision.h"

#include <cstring>

#include "win_base/TextConversion.h"

const char kRestoreSwitch[] = "/restore";

RunDecision DecideRun(int argumentCount, const char* const* arguments, const AdapterTable& table,
                      const std::wstring& firstArgument) {
    RunDecision decision;
    if (argumentCount <= 0) return decision;
    if (_stricmp(arguments[0], kRestoreSwitch) == 0) {
        const RunAction actions[] = {kListSnapshots, kRestore};
        if (argumentCount <= 2) {
            decision.action = actions[argumentCount - 1];
        } else {
            decision.action = kRefuse;
            decision.refusal = MakeRefusal(kTooManyRestoreArguments, kAdapterName, 2, arguments[2]);
        }
        return decision;
    }
    TakeParameters(argumentCount, arguments, decision.parameters);
    decision.refusal = CheckSettings(decision.parameters);
    if (decision.refusal.kind != kNoRefusal) {
        decision.action = kRefuse;
        return decision;
    }
    const char* adapterName = decision.parameters[kAdapterName];
    const bool typed = adapterName == arguments[0] && !firstArgument.empty();
    const std::optional<std::string> serviceName =
        ResolveAdapter(adapterName, typed ? firstArgument : WinBase::WideFromNarrow(adapterName), table);
    if (!serviceName) return decision;
    decision.settings =
        StaticSettings::Validate(serviceName->c_str(), decision.parameters, &decision.refusal);
    decision.action = decision.settings ? kConfigure : kRefuse;
    return decision;
}
