// Registry update of the TCP/IP and NetBT locations and the DHCP notification.
#include "AdapterConfiguration.h"

#include <cstdio>
#include <vector>

#include "AccessRefusal.h"
#include "AddressValidation.h"
#include "ConsoleText.h"
#include "ConfigurationPlan.h"
#include "DhcpNotification.h"
#include "SettingsBackup.h"
#include "UnfinishedRun.h"
#include "win_base/TextConversion.h"
#include "win_base/UniqueHandle.h"

namespace {

// Asks the DHCP client to take up the new address; 0 on success.
DWORD NotifyDhcpClient(const DhcpNotifier& notifier, const StaticSettings& settings) {
    return notifier.Notify(WinBase::WideFromNarrow(settings.ServiceName()).c_str(),
                           Ipv4NetworkOrder(settings.Value(kIpAddress)),
                           Ipv4NetworkOrder(settings.Value(kMask)));
}

// A location of the plan with its key, open for setting values.
struct OpenedKey {
    const KeyWrites* writes;
    WinBase::UniqueKey key;
};

// Opens the plan's keys in order; a key that does not exist is left out. Returns 0,
// or the status of the first key that exists but cannot be opened (opened keeps the
// keys opened before it, and *failed is that key's location).
LONG OpenPlan(const std::vector<KeyWrites>& plan, std::vector<OpenedKey>* opened, const KeyWrites** failed) {
    for (const KeyWrites& writes : plan) {
        WinBase::UniqueKey key;
        const LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, writes.path.c_str(), 0,
                                          KEY_SET_VALUE | KEY_WOW64_64KEY, key.put());
        if (status == ERROR_FILE_NOT_FOUND) continue;
        if (status != ERROR_SUCCESS) {
            *failed = &writes;
            return status;
        }
        opened->push_back({&writes, std::move(key)});
    }
    return ERROR_SUCCESS;
}

// Writes every value of an opened location; a value that cannot be written is reported
// and the rest are still written.
void WriteValues(const OpenedKey& opened) {
    for (const ValueWrite& value : opened.writes->values) {
        const LONG status = RegSetValueExA(opened.key.get(), value.name, 0, value.type,
                                           reinterpret_cast<const BYTE*>(value.bytes.data()),
                                           static_cast<DWORD>(value.bytes.size()));
        if (status != ERROR_SUCCESS) printf("Registry update failed for %s\n", value.name);
    }
}

bool HasAdapterKey(const std::vector<OpenedKey>& opened) {
    for (const OpenedKey& key : opened)
        if (key.writes->adapterKey) return true;
    return false;
}

}  // namespace

RunStatus ConfigureAdapter(const StaticSettings& settings) {
    // Bound before any key is opened; a missing entry point shows only at the end.
    const DhcpNotifier notifier;

    const std::vector<KeyWrites> plan = PlanConfiguration(settings);
    std::vector<OpenedKey> opened;
    const KeyWrites* failed = nullptr;
    const LONG openStatus = OpenPlan(plan, &opened, &failed);
    const bool refused = IsAccessRefusal(openStatus);
    // Older Windows keep the settings in the per-service key, today's in the interface
    // key; the adapter is missing only when neither exists.
    if (!HasAdapterKey(opened) && (failed == nullptr || !failed->adapterKey))
        return {
            printf("Cannot locate adapter %s\n", ConsoleField(std::string(settings.ServiceName())).c_str()),
            refused};
    if (refused) {
        printf("Access to the registry was refused: HKLM\\%s\n", ConsoleField(failed->path).c_str());
        return {kAccessRefusedStatus, refused};
    }
    if (openStatus != ERROR_SUCCESS) {
        printf("Registry key cannot be opened (error %ld): HKLM\\%s\n", static_cast<long>(openStatus),
               ConsoleField(failed->path).c_str());
        return {static_cast<int>(openStatus)};
    }

    // Every location that exists is open and nothing is written yet: first the snapshot.
    // One backup folder, found once, for the snapshot and the record.
    const auto folder = SettingsSnapshot::BackupFolder::Default();
    std::wstring snapshot;
    const int saveStatus = SaveCurrentSettings(folder, plan, settings.ServiceName(), &snapshot);
    if (saveStatus != 0) return {saveStatus};
    SettingsSnapshot::OwnedHandle record;
    const int recordStatus = StartUnfinishedRun(folder.Value(), settings.ServiceName(), snapshot, &record);
    if (recordStatus != 0) return {recordStatus};
    for (const OpenedKey& key : opened) WriteValues(key);
    EndUnfinishedRun(folder.Value(), std::move(record));

    if (NotifyDhcpClient(notifier, settings) != 0) return {printf("Adapter configuration failed\n")};
    return {0};
}
