// Restoring and listing snapshots for Adapset.
#include <windows.h>

#include "SnapshotRestore.h"

#include <cstdio>
#include <optional>
#include <vector>

#include "AccessRefusal.h"
#include "AddressValidation.h"
#include "AdapterConfiguration.h"
#include "ConsoleText.h"
#include "DhcpNotification.h"
#include "SettingsBackup.h"
#include "adapter_inventory/AdapterInventory.h"
#include "settings_snapshot/AdapterKeys.h"
#include "settings_snapshot/BackupFolder.h"
#include "settings_snapshot/SnapshotAdapters.h"
#include "settings_snapshot/SnapshotRestore.h"
#include "settings_snapshot/ValueText.h"
#include "win_base/TextConversion.h"

namespace {

using namespace SettingsSnapshot;

// The first entry of a restored address list in network byte order; 0 (no address)
// when the value is absent, not text or not an address.
DWORD FirstAddress(const SnapshotValue* value) {
    if (value == nullptr || (value->type != REG_MULTI_SZ && value->type != REG_SZ)) return 0;
    const std::vector<std::wstring> texts = ValueTexts(*value);
    if (texts.empty()) return 0;
    const std::optional<std::string> narrow = WinBase::ExactNarrow(texts.front());
    return narrow && IsIpv4Address(narrow->c_str()) ? Ipv4NetworkOrder(narrow->c_str()) : 0;
}

int Refuse(const std::wstring& file, const std::wstring& fault) {
    printf("Not a settings snapshot of Adapset or TarveloIP: %s (%s)\n", ConsoleField(file).c_str(),
           ConsoleField(fault).c_str());
    return kForeignSnapshotStatus;
}

}  // namespace

RunStatus RestoreSnapshot(const std::wstring& file) {
    // Bound before anything is written, as for a configuration run.
    const DhcpNotifier notifier;
    const Outcome<RestoredSnapshot, RestoreFailure> restored =
        RestoreAdapterSnapshot(file, AdapterInventory::ReadServiceNames());
    if (!restored) {
        Failure failure = restored.Error().cause;
        switch (restored.Error().stage) {
            case RestoreStage::Read:
                failure.subject.clear();
                printf("Cannot read the snapshot %s: %s\n", ConsoleField(file).c_str(),
                       ConsoleField(failure.Describe()).c_str());
                return {static_cast<int>(failure.error)};
            case RestoreStage::Content:
                failure.subject.clear();  // the file is named by the line itself
                return {Refuse(file, failure.Describe())};
            case RestoreStage::Apply:
                break;
        }
        const std::string key = ConsoleField(failure.subject);
        if (IsAccessRefusal(static_cast<LONG>(failure.error))) {
            printf("Access to the registry was refused: HKLM\\%s\n", key.c_str());
            return {kAccessRefusedStatus, true};
        }
        printf("Registry update failed (error %lu): HKLM\\%s\n", failure.error, key.c_str());
        return {static_cast<int>(failure.error)};
    }
    printf("Settings restored from %s\n", ConsoleField(file).c_str());

    const Snapshot& snapshot = restored.Value().snapshot;
    bool notified = true;
    for (const std::wstring& service : restored.Value().adapters)
        if (notifier.Notify(service.c_str(),
                            FirstAddress(AdapterValueIn(snapshot, service, WideName(kIPAddress))),
                            FirstAddress(AdapterValueIn(snapshot, service, WideName(kSubnetMask)))) != 0)
            notified = false;
    if (!notified) return {printf("Adapter configuration failed\n")};
    return {0};
}

int ListSnapshots() {
    const Outcome<BackupFolder> folder = BackupFolder::Default();
    if (!folder) {
        printf("%s\n", ConsoleField(folder.Error().Describe()).c_str());
        return ERROR_PATH_NOT_FOUND;
    }
    const Outcome<std::vector<SnapshotFileEntry>> entries = folder.Value().List();
    if (!entries) {
        printf("Cannot list the snapshots: %s\n", ConsoleField(entries.Error().Describe()).c_str());
        return kSnapshotFailedStatus;
    }
    printf("Snapshots in %s, newest first:\n", ConsoleField(folder.Value().Path()).c_str());
    for (const SnapshotFileEntry& entry : entries.Value()) printf("%s\n", ConsoleField(entry.path).c_str());
    if (entries.Value().empty()) printf("(none)\n");
    return 0;
}
