#include "platform/RestoreModeChoices.h"

#include "apply/AdapterListing.h"
#include "apply/DecimalText.h"
#include "win_base/PrintableText.h"
#include "win_base/TextConversion.h"
#include "platform/PreviousAddress.h"
#include "settings_snapshot/RegFileParser.h"
#include "settings_snapshot/SnapshotFile.h"

namespace {

using namespace SettingsSnapshot;

std::wstring AdapterName(const std::wstring& service,
                         const std::vector<AdapterInventory::Adapter>& adapters) {
    for (const AdapterInventory::Adapter& adapter : adapters)
        if (AdapterInventory::SameServiceName(adapter.serviceName, service))
            return WinBase::PrintableText(AdapterDisplayName(adapter));
    return WinBase::PrintableText(service);
}

}  // namespace

std::wstring HeldText(bool readable, const std::optional<PreviousAddress>& held) {
    if (!readable || !held) return L"無法讀取";
    if (held->dhcp) return L"自動取得 (DHCP)";
    return WinBase::WideFromNarrow(held->address);
}

std::wstring ChoiceLine(const SYSTEMTIME& t, const std::wstring& adapterName, const std::wstring& held,
                        bool original) {
    return ZeroPadded(t.wYear, 4) + L"/" + ZeroPadded(t.wMonth, 2) + L"/" + ZeroPadded(t.wDay, 2) + L" " +
           ZeroPadded(t.wHour, 2) + L":" + ZeroPadded(t.wMinute, 2) + L":" + ZeroPadded(t.wSecond, 2) +
           L"\t" + adapterName + L"\t" + held + (original ? L"\t最初的設定" : L"");
}

std::vector<RestoreChoice> ReadChoices(const std::vector<HistoryEntry>& entries,
                                       const std::vector<AdapterInventory::Adapter>& adapters,
                                       const AllowList& allowed) {
    std::vector<RestoreChoice> choices;
    for (const HistoryEntry& entry : entries) {
        const Outcome<std::vector<BYTE>> bytes = ReadSnapshotFile(entry.file.path);
        const Outcome<Snapshot> snapshot =
            bytes ? ParseRegFile(bytes.Value(), allowed) : Outcome<Snapshot>(bytes.Error());
        const std::optional<PreviousAddress> held =
            snapshot ? PreviousAddressIn(snapshot.Value(), entry.service) : std::nullopt;
        FILETIME local{};
        SYSTEMTIME time{};
        FileTimeToLocalFileTime(&entry.file.written, &local);
        FileTimeToSystemTime(&local, &time);
        choices.push_back(
            RestoreChoice{entry, ChoiceLine(time, AdapterName(entry.service, adapters),
                                            HeldText(snapshot.Succeeded(), held), entry.original)});
    }
    return choices;
}
