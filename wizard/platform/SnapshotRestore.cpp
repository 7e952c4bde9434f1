#include "platform/SnapshotRestore.h"

#include "settings_snapshot/AdapterKeys.h"
#include "settings_snapshot/BackupFolder.h"
#include "settings_snapshot/RegFileParser.h"
#include "settings_snapshot/SnapshotApply.h"
#include "settings_snapshot/SnapshotFile.h"
#include "settings_snapshot/UndoableRestore.h"

namespace {

using namespace SettingsSnapshot;

const SnapshotKey* FindKey(const Snapshot& snapshot, const std::wstring& path) {
    for (const SnapshotKey& key : snapshot.keys)
        if (_wcsicmp(key.path.c_str(), path.c_str()) == 0) return &key;
    return nullptr;
}

const SnapshotValue* FindValue(const SnapshotKey& key, const wchar_t* name) {
    for (const SnapshotValue& value : key.values)
        if (value.present && _wcsicmp(value.name.c_str(), name) == 0) return &value;
    return nullptr;
}

// The strings of a REG_SZ or REG_MULTI_SZ value as narrow text (addresses are ASCII;
// anything else makes the value unreadable).
std::vector<std::string> Strings(const SnapshotValue* value) {
    std::vector<std::string> strings;
    if (value == nullptr || (value->type != REG_SZ && value->type != REG_MULTI_SZ)) return strings;
    std::string current;
    for (size_t at = 0; at + 1 < value->data.size(); at += 2) {
        const wchar_t unit = static_cast<wchar_t>(value->data[at] | value->data[at + 1] << 8);
        if (unit == 0) {
            if (current.empty()) break;
            strings.push_back(current);
            current.clear();
            if (value->type == REG_SZ) break;
        } else if (unit < 0x80) {
            current.push_back(static_cast<char>(unit));
        } else {
            return {};
        }
    }
    if (!current.empty()) strings.push_back(current);
    return strings;
}

std::string First(const SnapshotValue* value) {
    const std::vector<std::string> strings = Strings(value);
    return strings.empty() ? std::string() : strings.front();
}

std::vector<std::string> SplitServers(const std::string& list) {
    std::vector<std::string> servers;
    std::string current;
    for (const char c : list + ",") {
        if (c == ',' || c == ' ') {
            if (!current.empty()) servers.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    return servers;
}

bool HoldsAddress(const SnapshotKey* key) {
    return key != nullptr &&
           (FindValue(*key, L"IPAddress") != nullptr || FindValue(*key, L"EnableDHCP") != nullptr);
}

}  // namespace

Outcome<Snapshot> RestoreSnapshotFile(const std::wstring& path, const AllowList& allowed) {
    const Outcome<std::vector<BYTE>> bytes = ReadSnapshotFile(path);
    if (!bytes) return bytes.Error();
    Outcome<Snapshot> snapshot = ParseRegFile(bytes.Value(), allowed);
    if (!snapshot) {
        Failure failure = snapshot.Error();
        failure.subject = path;
        return failure;
    }
    // What the restore overwrites is saved first, so that it can be undone.
    const Outcome<BackupFolder> folder = BackupFolder::Default();
    if (!folder) return folder.Error();
    const Outcome<std::wstring> undo =
        RestoreUndoably(SnapshotHistory(folder.Value()), kWizardTag, snapshot.Value());
    if (!undo) return undo.Error();
    return snapshot;
}

std::optional<PreviousAddress> PreviousAddressIn(const Snapshot& snapshot, const std::wstring& service) {
    const SnapshotKey* key = FindKey(snapshot, TcpipInterfaceKey(service));
    if (!HoldsAddress(key)) key = FindKey(snapshot, AdapterTcpipKey(service));
    if (!HoldsAddress(key)) return std::nullopt;
    PreviousAddress previous;
    previous.address = First(FindValue(*key, L"IPAddress"));
    const SnapshotValue* const dhcp = FindValue(*key, L"EnableDHCP");
    if (dhcp != nullptr && dhcp->type == REG_DWORD && dhcp->data.size() == 4)
        previous.dhcp = (dhcp->data[0] | dhcp->data[1] | dhcp->data[2] | dhcp->data[3]) != 0;
    else
        previous.dhcp = previous.address.empty() || previous.address == "0.0.0.0";
    if (previous.dhcp) return PreviousAddress{};
    if (previous.address.empty()) return std::nullopt;
    previous.mask = First(FindValue(*key, L"SubnetMask"));
    previous.gateway = First(FindValue(*key, L"DefaultGateway"));
    previous.dnsServers = SplitServers(First(FindValue(*key, L"NameServer")));
    return previous;
}
