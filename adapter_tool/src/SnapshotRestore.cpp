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
#include "settings_snapshot/SnapshotHistory.h"
#include "settings_snapshot/SnapshotRestore.h"
#include "settings_snapshot/ValueText.h"
#include "win_base/PrintableText.h"
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

// The file's write time in local time: "2026-12-09 17:05:03".
std::wstring WrittenAt(const FILETIME& written) {
    FILETIME local{};
    SYSTEMTIME t{};
    if (!FileTimeToLocalFileTime(&written, &local) || !FileTimeToSystemTime(&local, &t))
        return L"(time unknown)";
    char text[32];
    snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
             t.wMinute, t.wSecond);
    return WinBase::WideFromNarrow(text);
}

// The adapter as the listing names it: its connection name and service name.
std::wstring AdapterText(const std::wstring& service,
                         const std::vector<AdapterInventory::Adapter>& adapters) {
    if (service.empty()) return L"(adapter unknown)";
    for (const AdapterInventory::Adapter& adapter : adapters)
        if (AdapterInventory::SameServiceName(adapter.serviceName, service) &&
            !adapter.connectionName.empty())
            return adapter.connectionName + L" (" + service + L")";
    return service;
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
        RestoreAdapterSnapshot(file, AdapterInventory::ReadServiceNames(), kToolTag);
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
            case RestoreStage::Undo:
                printf("Cannot save the current settings: %s\n", ConsoleField(failure.Describe()).c_str());
                return {kSnapshotFailedStatus};
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
    printf("To undo: adapset /restore \"%s\"\n", ConsoleField(restored.Value().undoPath).c_str());

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

namespace {

// The history of the backup folder, with the folder's path; a status when it cannot be
// listed, after one line saying why.
struct Listed {
    std::wstring folder;
    std::vector<HistoryEntry> entries;
    size_t older = 0;  // our files beyond the newest, not listed
    int status = 0;
};

// The newest snapshots listed, besides every original: a folder of hundreds is listed
// as fast as one of a few.
constexpr size_t kListedNewest = 40;

Listed ListHistory() {
    Listed listed;
    const Outcome<BackupFolder> folder = BackupFolder::Default();
    if (!folder) {
        printf("%s\n", ConsoleField(folder.Error().Describe()).c_str());
        listed.status = ERROR_PATH_NOT_FOUND;
        return listed;
    }
    listed.folder = folder.Value().Path();
    Outcome<std::vector<HistoryEntry>> entries =
        SnapshotHistory(folder.Value()).ListNewest(kListedNewest, &listed.older);
    if (!entries) {
        printf("Cannot list the snapshots: %s\n", ConsoleField(entries.Error().Describe()).c_str());
        listed.status = kSnapshotFailedStatus;
        return listed;
    }
    listed.entries = std::move(entries.Value());
    return listed;
}

}  // namespace

int ListSnapshots(const AdapterTable& table) {
    const Listed listed = ListHistory();
    if (listed.status != 0) return listed.status;
    printf("Snapshots in %s, newest first:\n", ConsoleField(listed.folder).c_str());
    const std::vector<AdapterInventory::Adapter>& adapters = table.adapters;
    std::wstring listing;
    for (const HistoryEntry& entry : listed.entries)
        listing += WrittenAt(entry.file.written) + L"  " + (entry.original ? L"original" : L"later   ") +
                   L"  " + WinBase::PrintableText(AdapterText(entry.service, adapters)) + L"\n  " +
                   WinBase::PrintableText(entry.file.path) + L"\n";
    if (listed.entries.empty()) listing = L"(none)\n";
    PrintText(listing);
    if (listed.older > 0)
        printf("(%lu older not listed; adapset /restore FILE restores any of them)\n",
               static_cast<unsigned long>(listed.older));
    return 0;
}

RunStatus RestoreOriginal(const char* adapterName, const std::wstring& wideName, const AdapterTable& table) {
    const std::optional<std::string> service = ResolveAdapter(adapterName, wideName, table);
    const Listed listed = ListHistory();
    if (listed.status != 0) return {listed.status};
    const HistoryEntry* original =
        service ? SnapshotHistory::OriginalOf(listed.entries, WinBase::WideFromNarrow(service->c_str()))
                : nullptr;
    if (original == nullptr) {
        printf("No original snapshot of adapter %s\n", adapterName);
        return {ERROR_FILE_NOT_FOUND};
    }
    return RestoreSnapshot(original->file.path);
}
