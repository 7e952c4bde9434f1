// Restoring and listing snapshots for Adapset.
#include <windows.h>

#include "SnapshotRestore.h"

#include <cstdio>
#include <optional>
#include <vector>

#include "AccessRefusal.h"
#include "AddressValidation.h"
#include "AdapterConfiguration.h"
#include "DhcpNotification.h"
#include "SettingsBackup.h"
#include "adapter_inventory/AdapterInventory.h"
#include "settings_snapshot/AdapterAllowList.h"
#include "settings_snapshot/AdapterKeys.h"
#include "settings_snapshot/BackupFolder.h"
#include "settings_snapshot/RegFileParser.h"
#include "settings_snapshot/SnapshotApply.h"
#include "settings_snapshot/SnapshotFile.h"
#include "win_base/TextConversion.h"

namespace {

using namespace SettingsSnapshot;

// An adapter the snapshot restores: its service name and the key values that hold
// its address and mask.
struct RestoredAdapter {
    std::wstring service;
    const SnapshotValue* address = nullptr;
    const SnapshotValue* mask = nullptr;
};

// The adapters of the snapshot's adapter keys, in file order, each once.
std::vector<RestoredAdapter> RestoredAdapters(const Snapshot& snapshot) {
    std::vector<RestoredAdapter> adapters;
    for (const SnapshotKey& key : snapshot.keys) {
        if (const std::optional<std::wstring> service = ServiceOfAdapterKey(key.path)) {
            RestoredAdapter* adapter = nullptr;
            for (RestoredAdapter& known : adapters)
                if (AdapterInventory::SameServiceName(known.service, *service)) adapter = &known;
            if (adapter == nullptr) adapter = &adapters.emplace_back(RestoredAdapter{*service});
            for (const SnapshotValue& value : key.values) {
                if (_wcsicmp(value.name.c_str(), L"IPAddress") == 0 && adapter->address == nullptr)
                    adapter->address = &value;
                if (_wcsicmp(value.name.c_str(), L"SubnetMask") == 0 && adapter->mask == nullptr)
                    adapter->mask = &value;
            }
        }
    }
    return adapters;
}

// The first entry of a restored address list in network byte order; 0 (no address)
// when the value is absent, not text or not an address.
DWORD FirstAddress(const SnapshotValue* value) {
    if (value == nullptr || !value->present || (value->type != REG_MULTI_SZ && value->type != REG_SZ))
        return 0;
    std::wstring text;
    for (size_t i = 0; i + 1 < value->data.size(); i += 2) {
        const wchar_t c = static_cast<wchar_t>(value->data[i] | value->data[i + 1] << 8);
        if (c == L'\0') break;
        text += c;
    }
    const std::optional<std::string> narrow = WinBase::ExactNarrow(text);
    return narrow && IsIpv4Address(narrow->c_str()) ? Ipv4NetworkOrder(narrow->c_str()) : 0;
}

int Refuse(const std::wstring& file, const std::wstring& fault) {
    printf("Not a settings snapshot of Adapset or TarveloIP: %s (%s)\n", WinBase::DisplayNarrow(file).c_str(),
           WinBase::DisplayNarrow(fault).c_str());
    return kForeignSnapshotStatus;
}

}  // namespace

int RestoreSnapshot(const std::wstring& file) {
    const Outcome<std::vector<BYTE>> bytes = ReadSnapshotFile(file);
    if (!bytes) {
        if (bytes.Error().error == ERROR_SUCCESS) return Refuse(file, bytes.Error().reason);
        Failure failure = bytes.Error();
        failure.subject.clear();
        printf("Cannot read the snapshot %s: %s\n", WinBase::DisplayNarrow(file).c_str(),
               WinBase::DisplayNarrow(failure.Describe()).c_str());
        return static_cast<int>(bytes.Error().error);
    }
    const Outcome<Snapshot> snapshot =
        ParseRegFile(bytes.Value(), AdapterAllowList(AdapterInventory::ReadServiceNames()));
    if (!snapshot) return Refuse(file, snapshot.Error().Describe());
    const std::vector<RestoredAdapter> restored = RestoredAdapters(snapshot.Value());
    if (restored.empty()) return Refuse(file, L"it names no adapter key");

    // Bound before anything is written, as for a configuration run.
    const DhcpNotifier notifier;
    if (const std::optional<Failure> failure = ApplySnapshot(snapshot.Value())) {
        const std::string key = WinBase::DisplayNarrow(failure->subject);
        if (NoteOpenStatus(static_cast<LONG>(failure->error)) == ERROR_ACCESS_DENIED) {
            printf("Access to the registry was refused: HKLM\\%s\n", key.c_str());
            return kAccessRefusedStatus;
        }
        printf("Registry update failed (error %lu): HKLM\\%s\n", failure->error, key.c_str());
        return static_cast<int>(failure->error);
    }
    printf("Settings restored from %s\n", WinBase::DisplayNarrow(file).c_str());

    bool notified = true;
    for (const RestoredAdapter& adapter : restored)
        if (notifier.Notify(adapter.service.c_str(), FirstAddress(adapter.address),
                            FirstAddress(adapter.mask)) != 0)
            notified = false;
    if (!notified) return printf("Adapter configuration failed\n");
    return 0;
}

int ListSnapshots() {
    const Outcome<BackupFolder> folder = BackupFolder::Default();
    if (!folder) {
        printf("%s\n", WinBase::DisplayNarrow(folder.Error().Describe()).c_str());
        return ERROR_PATH_NOT_FOUND;
    }
    const Outcome<std::vector<SnapshotFileEntry>> entries = folder.Value().List();
    if (!entries) {
        printf("Cannot list the snapshots: %s\n", WinBase::DisplayNarrow(entries.Error().Describe()).c_str());
        return kSnapshotFailedStatus;
    }
    printf("Snapshots in %s, newest first:\n", WinBase::DisplayNarrow(folder.Value().Path()).c_str());
    for (const SnapshotFileEntry& entry : entries.Value())
        printf("%s\n", WinBase::DisplayNarrow(entry.path).c_str());
    if (entries.Value().empty()) printf("(none)\n");
    return 0;
}
