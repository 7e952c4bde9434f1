// Baseline for the Adapset benchmark: the work of one wizard-form run done with raw
// Win32 calls and nothing else (no argument rules, no adapter table, no notification).
// Given a snapshot size, it first does what the tool's snapshot costs the system: reads
// the values it will write (the Unicode calls, the 64-bit view), then writes and
// flushes a new file of that many bytes in the tool's backup folder, found as the tool
// must find it (the machine's ProfileList ProgramData value, %SystemDrive% taken from the
// Windows directory; no shell library, never the environment). Then the registry
// writes: service, address, mask, gateway, name servers, DHCP off.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kServices[] = "SYSTEM\\CurrentControlSet\\Services\\";

// Writes REG_SZ or REG_MULTI_SZ text into HKEY_LOCAL_MACHINE\path when the key opens.
void Put(HKEY key, const char* name, DWORD type, const char* text) {
    std::string bytes(text, strlen(text) + 1);
    if (type == REG_MULTI_SZ) bytes += '\0';
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
}

HKEY Open(const std::string& path) {
    HKEY key = nullptr;
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS ? key
                                                                                                    : nullptr;
}

// Reads the named values of HKEY_LOCAL_MACHINE\path, as a snapshot captures them.
void ReadValues(const std::wstring& path, std::initializer_list<const wchar_t*> names) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) !=
        ERROR_SUCCESS)
        return;
    std::vector<BYTE> data(512);
    for (const wchar_t* name : names) {
        DWORD type = 0, size = static_cast<DWORD>(data.size());
        RegQueryValueExW(key, name, nullptr, &type, data.data(), &size);
    }
    RegCloseKey(key);
}

// The machine's ProgramData folder from its profile list; empty when unreadable.
std::wstring ProgramData() {
    wchar_t value[MAX_PATH + 1] = L"";
    DWORD size = MAX_PATH * sizeof(wchar_t);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList",
                     L"ProgramData",
                     RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND | RRF_SUBKEY_WOW6464KEY, nullptr,
                     value, &size) != ERROR_SUCCESS)
        return std::wstring();
    std::wstring folder(value);
    const std::wstring variable = L"%SystemDrive%";
    wchar_t windows[MAX_PATH] = L"";
    if (CompareStringOrdinal(folder.c_str(), static_cast<int>(std::min(folder.size(), variable.size())),
                             variable.c_str(), static_cast<int>(variable.size()), TRUE) == CSTR_EQUAL &&
        GetSystemWindowsDirectoryW(windows, MAX_PATH) >= 2)
        folder.replace(0, variable.size(), std::wstring(windows, 2));
    return folder;
}

// Writes and flushes a new file of the given size in <ProgramData>\Tarvelo\Backups;
// false when it cannot.
bool WriteSnapshotFile(size_t bytes) {
    const std::wstring programData = ProgramData();
    if (programData.empty()) return false;
    const std::wstring tarvelo = programData + L"\\Tarvelo";
    const std::wstring folder = tarvelo + L"\\Backups";
    CreateDirectoryW(tarvelo.c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring path = folder + L"\\baseline-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(GetTickCount64()) + L".reg";
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const std::vector<BYTE> content(bytes, 'x');
    DWORD written = 0;
    const bool ok = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
                    written == content.size() && FlushFileBuffers(file);
    return CloseHandle(file) && ok;
}

}  // namespace

// Arguments: service ipAddress mask gateway nameServers [snapshotBytes]; returns 0, 1
// when the adapter's TCP/IP key is missing, 3 when the snapshot file cannot be written.
int main(int argc, char* argv[]) {
    if (argc < 6) return 2;
    const std::string service = argv[1];
    const size_t snapshotBytes = argc > 6 ? std::strtoul(argv[6], nullptr, 10) : 0;
    const std::string services = kServices;
    if (snapshotBytes > 0) {
        const std::wstring wideService(service.begin(), service.end());
        const std::wstring wideServices = L"SYSTEM\\CurrentControlSet\\Services\\";
        ReadValues(wideServices + wideService + L"\\Parameters\\Tcpip",
                   {L"IPAddress", L"SubnetMask", L"DefaultGateway", L"EnableDHCP"});
        ReadValues(wideServices + L"Tcpip\\Parameters\\Interfaces\\" + wideService,
                   {L"IPAddress", L"SubnetMask", L"DefaultGateway", L"NameServer", L"EnableDHCP"});
        ReadValues(wideServices + L"Tcpip\\Parameters", {L"NameServer"});
        ReadValues(wideServices + L"NetBT\\Parameters\\Interfaces\\Tcpip_" + wideService,
                   {L"NameServerList"});
        if (!WriteSnapshotFile(snapshotBytes)) return 3;
    }
    HKEY key = Open(services + service + "\\Parameters\\Tcpip");
    if (key == nullptr) return 1;
    for (int step = 0; step < 2 && key != nullptr; ++step) {
        Put(key, "IPAddress", REG_MULTI_SZ, argv[2]);
        Put(key, "SubnetMask", REG_MULTI_SZ, argv[3]);
        Put(key, "DefaultGateway", REG_MULTI_SZ, argv[4]);
        if (step == 1) Put(key, "NameServer", REG_SZ, argv[5]);
        const DWORD dhcpOff = 0;
        RegSetValueExA(key, "EnableDHCP", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dhcpOff),
                       sizeof dhcpOff);
        RegCloseKey(key);
        key = step == 0 ? Open(services + "Tcpip\\Parameters\\Interfaces\\" + service) : nullptr;
    }
    if ((key = Open(services + "Tcpip\\Parameters")) != nullptr) {
        Put(key, "NameServer", REG_SZ, argv[5]);
        RegCloseKey(key);
    }
    if ((key = Open(services + "NetBT\\Parameters\\Interfaces\\Tcpip_" + service)) != nullptr) {
        Put(key, "NameServerList", REG_MULTI_SZ, "");
        RegCloseKey(key);
    }
    return 0;
}
