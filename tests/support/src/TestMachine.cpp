// Registry snapshots and the seeded machine for the end-to-end tests and benchmarks.
#include "test_support/TestMachine.h"

#include <algorithm>

namespace TestSupport {

using TestSupport::MultiStringValue;
using TestSupport::RawValue;
using TestSupport::StringValue;

const char kNetworkCards[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
const char kServices[] = "SYSTEM\\CurrentControlSet\\Services\\";
const char kTcpipParameters[] = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
const char kNetbt[] = "SYSTEM\\CurrentControlSet\\Services\\NetBT";
const char kDhcpService[] = "SYSTEM\\CurrentControlSet\\Services\\DHCP";
const char kComputerName[] = "SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName";
const char kNetworkConnections[] =
    "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";
const char kNetClass[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

namespace {

// Subkey names of an open key, in enumeration order.
std::vector<std::string> SubkeyNames(HKEY key) {
    std::vector<std::string> names;
    char name[260];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    return names;
}

// Adds the open key at path, its values and its subkeys to the snapshot.
void CaptureKey(HKEY key, const std::string& path, Snapshot* snapshot) {
    snapshot->keys.insert(Lower(path));
    snapshot->spelling[Lower(path)] = path;
    DWORD maxName = 0, maxData = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxName, &maxData,
                     nullptr, nullptr);
    // Wine may report the sizes of the stored (wide) form; leave room either way.
    std::vector<char> name(2 * maxName + 2);
    std::vector<BYTE> data(2 * maxData + 2);
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (RegEnumValueA(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &size) !=
            ERROR_SUCCESS)
            break;
        const std::string where = path + "|" + std::string(name.data(), nameLength);
        snapshot->values[Lower(where)] = RawValue{type, std::vector<BYTE>(data.begin(), data.begin() + size)};
        snapshot->spelling[Lower(where)] = where;
    }
    for (const std::string& child : SubkeyNames(key)) {
        HKEY sub = nullptr;
        if (RegOpenKeyExA(key, child.c_str(), 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
        CaptureKey(sub, path + "\\" + child, snapshot);
        RegCloseKey(sub);
    }
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0 &&
           (text.size() == prefix.size() || text[prefix.size()] == '\\' || text[prefix.size()] == '|');
}

}  // namespace

std::string AdapterTcpipKey(const std::string& service) {
    return kServices + service + "\\Parameters\\Tcpip";
}
std::string InterfaceKey(const std::string& service) {
    return std::string(kTcpipParameters) + "\\Interfaces\\" + service;
}
std::string NetbtInterfaceKey(const std::string& service) {
    return std::string(kNetbt) + "\\Parameters\\Interfaces\\Tcpip_" + service;
}
std::string NetbtAdapterKey(const std::string& service) {
    return std::string(kNetbt) + "\\Adapters\\" + service;
}
std::string ConnectionKey(const std::string& service) {
    return kNetworkConnections + service + "\\Connection";
}

std::string ClassEntryKey(const std::string& entry) {
    return kNetClass + entry;
}

std::string InterfaceName(const SeedAdapter& adapter) {
    return adapter.layout == Layout::Windows10 ? Lower(adapter.service) : adapter.service;
}

void CaptureTree(const std::string& path, Snapshot* snapshot) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    CaptureKey(key, path, snapshot);
    RegCloseKey(key);
}

Snapshot CaptureTrees(const std::vector<std::string>& paths) {
    Snapshot snapshot;
    for (const std::string& path : paths) CaptureTree(path, &snapshot);
    return snapshot;
}

std::vector<std::string> SnapshotDifferences(const Snapshot& expected, const Snapshot& actual) {
    std::vector<std::string> differences;
    for (const std::string& key : expected.keys)
        if (actual.keys.count(key) == 0) differences.push_back("key removed: " + key);
    for (const std::string& key : actual.keys)
        if (expected.keys.count(key) == 0) differences.push_back("key created: " + key);
    for (const auto& [where, value] : expected.values) {
        const auto found = actual.values.find(where);
        if (found == actual.values.end())
            differences.push_back(where + " is missing, expected " + DescribeValue(value));
        else if (!(found->second == value))
            differences.push_back(where + " is " + DescribeValue(found->second) + ", expected " +
                                  DescribeValue(value));
    }
    for (const auto& [where, value] : actual.values)
        if (expected.values.count(where) == 0)
            differences.push_back("unexpected " + where + ": " + DescribeValue(value));
    return differences;
}

bool PutValue(const std::string& path, const std::string& name, const RawValue& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const LONG status = RegSetValueExA(key, name.c_str(), 0, value.type, value.data.data(),
                                       static_cast<DWORD>(value.data.size()));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

void RemoveTree(const std::string& path) {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, path.c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
}

bool RestoreTrees(const std::vector<std::string>& roots, const Snapshot& snapshot) {
    bool ok = true;
    for (const std::string& root : roots) {
        RemoveTree(root);
        const std::string lowerRoot = Lower(root);
        for (const std::string& key : snapshot.keys) {
            if (!StartsWith(key, lowerRoot)) continue;
            HKEY created = nullptr;
            if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, snapshot.spelling.at(key).c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS, nullptr, &created, nullptr) != ERROR_SUCCESS) {
                ok = false;
                continue;
            }
            RegCloseKey(created);
        }
        for (const auto& [where, value] : snapshot.values) {
            if (!StartsWith(where, lowerRoot)) continue;
            const std::string& spelt = snapshot.spelling.at(where);
            const size_t bar = spelt.find('|');
            ok = PutValue(spelt.substr(0, bar), spelt.substr(bar + 1), value) && ok;
        }
    }
    return ok;
}

std::vector<SeedAdapter> TwoAdapterMachine() {
    return {
        {"8", "PCI Fast Ethernet Adapter", "{6B1E24D0-7F3C-4E1A-9D2B-5A1C0E8F3A01}", "10.0.1."},
        // "區域網路" (local area network) in Big5, as a Chinese system would show it.
        {"12", "\xB0\xCF\xB0\xEC\xBA\xF4\xB8\xF4 Wireless Adapter", "{6B1E24D0-7F3C-4E1A-9D2B-5A1C0E8F3A02}",
         "10.0.2."},
    };
}

namespace {

// The connection's Name, in Unicode as the system keeps it, whatever the code page.
void SeedConnectionName(const SeedAdapter& a) {
    const auto* name = reinterpret_cast<const char*>(a.connectionName.c_str());
    if (!a.connectionName.empty())
        WriteStoredValue(HKEY_LOCAL_MACHINE, ConnectionKey(a.service), "Name",
                         BytesValue(REG_SZ, std::string(name, (a.connectionName.size() + 1) * 2)));
}

// Both adapter keys with their addresses, DHCP or not, as older systems keep them.
bool SeedClassicKeys(const SeedAdapter& a) {
    bool ok = PutValue(kServices + a.service, "Start", TestSupport::DwordValue(3));
    for (const std::string& key : {AdapterTcpipKey(a.service), InterfaceKey(a.service)}) {
        ok = PutValue(key, "IPAddress", MultiStringValue({a.oldAddress + "5"})) && ok;
        ok = PutValue(key, "SubnetMask", MultiStringValue({"255.0.0.0"})) && ok;
        ok = PutValue(key, "DefaultGateway", MultiStringValue({a.oldAddress + "1"})) && ok;
        ok = PutValue(key, "EnableDHCP", TestSupport::DwordValue(a.dhcpEnabled ? 1 : 0)) && ok;
    }
    ok = PutValue(InterfaceKey(a.service), "NameServer", StringValue(a.oldAddress + "53")) && ok;
    ok = PutValue(NetbtAdapterKey(a.service), "NameServer", StringValue(a.oldAddress + "70")) && ok;
    ok = PutValue(NetbtAdapterKey(a.service), "NamerServerBackup", StringValue(a.oldAddress + "71")) && ok;
    return ok;
}

// The class entry and the interface key of Windows 10: a DHCP interface holds only what
// the DHCP client leased, a static one its addresses.
bool SeedWindows10Keys(const SeedAdapter& a) {
    const std::string entry = ClassEntryKey(a.classEntry);
    bool ok = PutValue(entry, "NetCfgInstanceId", StringValue(a.service));
    ok = PutValue(entry, "DriverDesc", StringValue(a.description)) && ok;
    ok = PutValue(entry, "Characteristics", TestSupport::DwordValue(a.characteristics)) && ok;
    ok = PutValue(entry, "*IfType", TestSupport::DwordValue(6)) && ok;
    if (a.mediaType != 0)
        ok = PutValue(entry, "*PhysicalMediaType", TestSupport::DwordValue(a.mediaType)) && ok;
    const std::string key = InterfaceKey(InterfaceName(a));
    ok = PutValue(key, "EnableDHCP", TestSupport::DwordValue(a.dhcpEnabled ? 1 : 0)) && ok;
    ok = PutValue(key, "NameServer", StringValue(a.dhcpEnabled ? "" : a.oldAddress + "53")) && ok;
    if (a.dhcpEnabled) {
        ok = PutValue(key, "DhcpIPAddress", StringValue(a.oldAddress + "5")) && ok;
        ok = PutValue(key, "DhcpSubnetMask", StringValue("255.255.255.0")) && ok;
        ok = PutValue(key, "DhcpDefaultGateway", MultiStringValue({a.oldAddress + "1"})) && ok;
        ok = PutValue(key, "DhcpServer", StringValue(a.oldAddress + "1")) && ok;
        ok = PutValue(key, "DhcpNameServer", StringValue(a.oldAddress + "1")) && ok;
    } else {
        ok = PutValue(key, "IPAddress", MultiStringValue({a.oldAddress + "5"})) && ok;
        ok = PutValue(key, "SubnetMask", MultiStringValue({"255.255.255.0"})) && ok;
        ok = PutValue(key, "DefaultGateway", MultiStringValue({a.oldAddress + "1"})) && ok;
    }
    return ok;
}

}  // namespace

bool SeedMachine(const std::vector<SeedAdapter>& adapters) {
    RemoveTree(kNetworkCards);
    bool ok = PutValue(kTcpipParameters, "NameServer", StringValue("10.0.0.53 10.0.0.54"));
    for (const SeedAdapter& a : adapters) {
        for (const std::string& key :
             {std::string(kServices) + a.service, InterfaceKey(a.service), NetbtInterfaceKey(a.service),
              NetbtAdapterKey(a.service), kNetworkConnections + a.service})
            RemoveTree(key);
        if (!a.classEntry.empty()) RemoveTree(ClassEntryKey(a.classEntry));
        if (!a.subkey.empty()) {
            const std::string card = std::string(kNetworkCards) + "\\" + a.subkey;
            ok = PutValue(card, "Description", StringValue(a.description)) && ok;
            ok = PutValue(card, "ServiceName", StringValue(a.service)) && ok;
        }
        SeedConnectionName(a);
        ok = (a.layout == Layout::Windows10 ? SeedWindows10Keys(a) : SeedClassicKeys(a)) && ok;
        ok = PutValue(NetbtInterfaceKey(InterfaceName(a)), "NameServerList",
                      MultiStringValue({a.oldAddress + "70", a.oldAddress + "71"})) &&
             ok;
    }
    return ok;
}

std::vector<SeedAdapter> Windows10Machine() {
    const auto adapter = [](const char* subkey, const char* description, const char* service,
                            const char* address, std::wstring connection, const char* entry,
                            DWORD characteristics, DWORD medium) {
        return SeedAdapter{
            subkey, description,     service, address, true, std::move(connection), Layout::Windows10,
            entry,  characteristics, medium};
    };
    return {
        adapter("2", "PCIe GbE Family Controller", "{3A8F21C4-5B6D-4E7F-8A9B-0C1D2E3F4A52}", "192.168.1.",
                L"\u4e59\u592a\u7db2\u8def", "0001", 0x84, 14),  // 乙太網路
        adapter("3", "Dual Band Wireless-AC Adapter", "{3A8F21C4-5B6D-4E7F-8A9B-0C1D2E3F4A53}", "192.168.8.",
                L"Wi-Fi", "0002", 0x84, 9),
        adapter("15", "Bluetooth Device (Personal Area Network)", "{3A8F21C4-5B6D-4E7F-8A9B-0C1D2E3F4A5F}",
                "192.168.44.", L"\u85cd\u7259\u7db2\u8def\u9023\u7dda", "0003", 0x1, 10),  // 藍牙網路連線
        adapter("", "Kernel Debug Network Adapter", "{3A8F21C4-5B6D-4E7F-8A9B-0C1D2E3F4A50}", "169.254.7.",
                L"", "0000", 0x9, 14),
    };
}

std::vector<SeedAdapter> WizardMachine() {
    std::vector<SeedAdapter> adapters = TwoAdapterMachine();
    adapters[0].subkey = "1";
    adapters[1].subkey = "2";
    return adapters;
}

bool SeedWizardMachine(const std::vector<SeedAdapter>& adapters) {
    bool ok = SeedMachine(adapters);
    RemoveTree(kDhcpService);
    ok = PutValue(kDhcpService, "Start", TestSupport::DwordValue(2)) && ok;
    ok = PutValue(kTcpipParameters, "HostName", StringValue("tarvelo-pc")) && ok;
    ok = PutValue(kComputerName, "ComputerName", StringValue("TARVELO-PC")) && ok;
    return ok;
}

std::vector<std::string> AdapterRoots(const std::vector<SeedAdapter>& adapters) {
    std::vector<std::string> roots = {kNetworkCards, kTcpipParameters, kNetbt};
    for (const SeedAdapter& a : adapters) {
        roots.push_back(kServices + a.service);
        roots.push_back(kNetworkConnections + a.service);
        if (!a.classEntry.empty()) roots.push_back(ClassEntryKey(a.classEntry));
    }
    return roots;
}

std::vector<std::string> WizardMachineRoots(const std::vector<SeedAdapter>& adapters) {
    std::vector<std::string> roots = AdapterRoots(adapters);
    roots.push_back(kDhcpService);
    roots.push_back(kComputerName);
    return roots;
}

std::vector<std::string> EnumeratedServices() {
    std::vector<std::string> services;
    HKEY cards = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kNetworkCards, 0, KEY_READ, &cards) != ERROR_SUCCESS)
        return services;
    for (const std::string& name : SubkeyNames(cards)) {
        const auto value = TestSupport::ReadRawValue(cards, name, "ServiceName");
        services.push_back(value ? std::string(value->data.begin(), value->data.end() - 1) : std::string());
    }
    RegCloseKey(cards);
    return services;
}

}  // namespace TestSupport
