// The run decision of Adapset.
#include "RunDecision.h"

#include <cstring>

#include "win_base/TextConversion.h"

const char kRestoreSwitch[] = "/restore";
const char kOriginalWord[] = "original";
const char kCheckSwitch[] = "/check";

namespace {

// Argument n as UTF-16: the wide command line's when given, else converted.
std::wstring WideArgument(const char* const* arguments, const std::vector<std::wstring>& wideArguments,
                          size_t n) {
    if (n < wideArguments.size() && !wideArguments[n].empty()) return wideArguments[n];
    return WinBase::WideFromNarrow(arguments[n]);
}

}  // namespace

RunDecision DecideRun(int argumentCount, const char* const* arguments, const AdapterTable& table,
                      const std::vector<std::wstring>& wideArguments) {
    RunDecision decision;
    if (argumentCount <= 0) return decision;
    if (_stricmp(arguments[0], kCheckSwitch) == 0) {
        if (argumentCount != 2) {
            decision.action = kRefuse;
            decision.refusal.kind = kCheckArguments;
            return decision;
        }
        decision.action = kCheck;
        decision.parameters[kAdapterName] = arguments[1];
        decision.checkedService =
            ResolveAdapter(arguments[1], WideArgument(arguments, wideArguments, 1), table);
        return decision;
    }
    if (_stricmp(arguments[0], kRestoreSwitch) == 0) {
        const RunAction actions[] = {kListSnapshots, kRestore};
        if (argumentCount == 3 && _stricmp(arguments[1], kOriginalWord) == 0) {
            decision.action = kRestoreOriginal;
            decision.parameters[kAdapterName] = arguments[2];
        } else if (argumentCount <= 2) {
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
    const bool typed = adapterName == arguments[0];
    const std::optional<std::string> serviceName = ResolveAdapter(
        adapterName, typed ? WideArgument(arguments, wideArguments, 0) : WinBase::WideFromNarrow(adapterName),
        table);
    if (!serviceName) return decision;
    decision.settings =
        StaticSettings::Validate(serviceName->c_str(), decision.parameters, &decision.refusal);
    decision.action = decision.settings ? kConfigure : kRefuse;
    return decision;
}
