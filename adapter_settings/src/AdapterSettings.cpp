#include "adapter_settings/AdapterSettings.h"

#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <utility>

#include "settings_snapshot/AdapterKeys.h"
#include "win_base/TextConversion.h"

using BrenlowTools::CRegistryKey;
using SettingsSnapshot::AdapterValue;
using SettingsSnapshot::kAdapterNameServer;
using SettingsSnapshot::kDefaultGateway;
using SettingsSnapshot::kEnableDhcp;
using SettingsSnapshot::kIPAddress;
using SettingsSnapshot::kSubnetMask;

namespace {

// The adapter's keys and values come from the adapter table; these keys are the store's alone.
const char kDhcpServicePath[] = "SYSTEM\\CurrentControlSet\\Services\\DHCP";
const char kComputerNamePath[] = "SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName";

// 260 characters and the terminating zero.
constexpr size_t kPathCapacity = 261;
// What a list read is offered.
constexpr DWORD kListCapacity = 512;
// Zero bytes kept past the offered capacity: a list stored without its closing zeros
// still ends in a terminated string inside the block.
constexpr size_t kListGuard = 2;

// The path of one of the adapter's keys; nullopt when it would not fit the path bound.
std::optional<std::string> KeyPath(SettingsSnapshot::AdapterKey key, const std::string& service) {
    std::string path = SettingsSnapshot::AdapterKeyPath(key, service);
    if (path.size() >= kPathCapacity) return std::nullopt;
    return path;
}

// The key every member holds while the store is closed. Assigning a copy of it only
// changes a reference count, so Close cannot fail on an allocation. At namespace scope,
// not function-local: a guarded local static brings the runtime's thread library into
// the program (about 40 KB).
const CRegistryKey g_emptyKey(static_cast<HKEY>(nullptr));

const CRegistryKey& EmptyKey() {
    return g_emptyKey;
}

// The service name as ANSI text for the key paths; nullopt when it is empty or the
// code page cannot spell it exactly (a best-fit look-alike would name another key).
std::optional<std::string> AnsiServiceName(const std::wstring& service) {
    if (service.empty()) return std::nullopt;
    return WinBase::ExactNarrow(service);
}

bool WriteRaw(HKEY key, const char* name, DWORD type, const void* data, DWORD size) {
    return RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

}  // namespace

CAdapterSettings::CAdapterSettings()
    : m_dhcpServiceKey(EmptyKey()),
      m_adapterTcpipKey(EmptyKey()),
      m_interfaceKey(EmptyKey()),
      m_tcpipParametersKey(EmptyKey()),
      m_computerNameKey(EmptyKey()) {}

// The members are then destroyed in reverse declaration order, the keys first.
CAdapterSettings::~CAdapterSettings() {
    Close();
}

// A zeroed block of capacity bytes (more than the text's length) that starts with the
// text. Throws std::bad_alloc when memory runs out.
CAdapterSettings::OwnedText CAdapterSettings::CopyText(const char* text, size_t capacity) {
    OwnedText copy(static_cast<char*>(std::calloc(capacity, 1)));
    if (!copy) throw std::bad_alloc();
    std::memcpy(copy.get(), text, std::strlen(text));
    return copy;
}

bool CAdapterSettings::ReadText(const CRegistryKey& key, const char* name, OwnedText& text) {
    char* block = nullptr;
    if (!key.QueryValue(name, &block)) return false;
    text.reset(block);
    return true;
}

// A list that does not exist reads as the empty list (an interface on DHCP has no
// IPAddress, SubnetMask or DefaultGateway at all on Windows 8 and later).
bool CAdapterSettings::ReadList(HKEY key, const char* name, OwnedText& list) {
    OwnedText block(static_cast<char*>(std::calloc(kListCapacity + kListGuard, 1)));
    if (!block) throw std::bad_alloc();
    DWORD type = REG_NONE;
    DWORD size = kListCapacity;
    const LONG status =
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(block.get()), &size);
    if (status == ERROR_FILE_NOT_FOUND) {
        list = std::move(block);
        return true;
    }
    if (status != ERROR_SUCCESS || type != REG_MULTI_SZ) return false;
    list = std::move(block);
    return true;
}

// Always the 64-bit registry view: a 32-bit build on 64-bit Windows would otherwise
// see the 32-bit one, which has no network cards.
CRegistryKey CAdapterSettings::OpenKey(const char* path) const {
    return CRegistryKey(HKEY_LOCAL_MACHINE, path, KEY_ALL_ACCESS | KEY_WOW64_64KEY, m_machineName.get());
}

// The adapter key, or the interface key when the adapter key does not exist (today's
// Windows keep the settings there only): then both members hold the interface key.
void CAdapterSettings::OpenAdapterKeys(const char* adapterPath, const char* interfacePath) {
    try {
        m_adapterTcpipKey = OpenKey(adapterPath);
    } catch (const CRegistryKey::Exception& failure) {
        if (failure.GetErrorCode() != ERROR_FILE_NOT_FOUND) throw;
        m_interfaceKey = OpenKey(interfacePath);
        m_adapterTcpipKey = m_interfaceKey;
        return;
    }
    m_interfaceKey = OpenKey(interfacePath);
}

bool CAdapterSettings::HasSeparateAdapterKey() const {
    return static_cast<HKEY>(m_adapterTcpipKey) != static_cast<HKEY>(m_interfaceKey);
}

bool CAdapterSettings::Open(const AdapterInventory::Adapter& adapter, const char* machineName) {
    // Copied before Close, which would release the name if it is the store's own.
    OwnedText machine =
        machineName != nullptr ? CopyText(machineName, std::strlen(machineName) + 1) : nullptr;
    Close();
    m_machineName = std::move(machine);

    // Any registry error closes the store and fails: the caller must never go on as
    // after a complete load when the adapter's keys could not be had.
    try {
        m_dhcpServiceKey = OpenKey(kDhcpServicePath);
        if (!m_dhcpServiceKey.QueryValue("Start", &m_dhcpStart)) return false;

        const std::optional<std::string> service = AnsiServiceName(adapter.serviceName);
        if (!service) return false;
        m_serviceName = CopyText(service->c_str(), service->size() + 1);

        const std::optional<std::string> adapterPath = KeyPath(SettingsSnapshot::kAdapterTcpip, *service);
        const std::optional<std::string> interfacePath = KeyPath(SettingsSnapshot::kTcpipInterface, *service);
        if (!adapterPath || !interfacePath) return false;
        OpenAdapterKeys(adapterPath->c_str(), interfacePath->c_str());

        if (!m_adapterTcpipKey.QueryValue(kEnableDhcp.name, &m_enableDhcp)) return false;
        if (!ReadList(m_adapterTcpipKey, kIPAddress.name, m_adapterIPAddress)) return false;
        if (!ReadList(m_interfaceKey, kIPAddress.name, m_interfaceIPAddress)) return false;
        if (!ReadList(m_adapterTcpipKey, kSubnetMask.name, m_adapterSubnetMask)) return false;
        if (!ReadList(m_adapterTcpipKey, kDefaultGateway.name, m_defaultGateway)) return false;

        m_tcpipParametersKey = OpenKey(
            SettingsSnapshot::AdapterKeyPath(SettingsSnapshot::kTcpipParameters, std::string()).c_str());
        if (!ReadText(m_tcpipParametersKey, "HostName", m_hostName)) return false;
        m_computerNameKey = OpenKey(kComputerNamePath);
        if (!ReadText(m_computerNameKey, "ComputerName", m_computerName)) return false;
        return true;
    } catch (const CRegistryKey::Exception&) {
        Close();
        return false;
    }
}

void CAdapterSettings::Close() {
    m_dhcpStart = 0;
    m_enableDhcp = 0;
    m_dhcpServiceKey = EmptyKey();
    m_adapterTcpipKey = EmptyKey();
    m_interfaceKey = EmptyKey();
    m_tcpipParametersKey = EmptyKey();
    m_computerNameKey = EmptyKey();
    m_serviceName.reset();
    m_adapterIPAddress.reset();
    m_interfaceIPAddress.reset();
    m_adapterSubnetMask.reset();
    m_interfaceSubnetMask.reset();
    m_defaultGateway.reset();
    m_hostName.reset();
    m_computerName.reset();
    m_machineName.reset();
}

// A one-entry list is the text and two zero bytes; SetNameServer writes the same bytes
// as REG_SZ. A copy cached after a successful write has the same layout, so it reads
// like a loaded list.
bool CAdapterSettings::WriteTwoKeys(const AdapterValue& value, const char* text, OwnedText* adapterCopy,
                                    OwnedText* interfaceCopy) {
    if (!m_serviceName || text == nullptr) return false;
    const size_t length = std::strlen(text);
    if (length > MAXDWORD - 2) return false;
    const DWORD size = static_cast<DWORD>(length + 2);
    const OwnedText data = CopyText(text, size);
    OwnedText adapterFresh = adapterCopy != nullptr ? CopyText(text, size) : nullptr;
    OwnedText interfaceFresh = interfaceCopy != nullptr ? CopyText(text, size) : nullptr;

    // A refused adapter write does not stop the interface write; it shows only in
    // the adapter key's cached copy. With the interface key alone it is written once,
    // and both copies follow that write.
    const bool separate = HasSeparateAdapterKey();
    const bool adapterWritten =
        separate && WriteRaw(m_adapterTcpipKey, value.name, value.type, data.get(), size);
    if (separate && adapterCopy != nullptr) *adapterCopy = adapterWritten ? std::move(adapterFresh) : nullptr;
    const bool interfaceWritten = WriteRaw(m_interfaceKey, value.name, value.type, data.get(), size);
    if (!separate && adapterCopy != nullptr)
        *adapterCopy = interfaceWritten ? std::move(adapterFresh) : nullptr;
    if (interfaceCopy != nullptr) *interfaceCopy = interfaceWritten ? std::move(interfaceFresh) : nullptr;
    return interfaceWritten;
}

bool CAdapterSettings::WriteAdapterList(const AdapterValue& value, const char* text, OwnedText& adapterCopy) {
    if (!m_serviceName || text == nullptr) return false;
    const size_t length = std::strlen(text);
    if (length > MAXDWORD - 2) return false;
    const DWORD size = static_cast<DWORD>(length + 2);
    OwnedText data = CopyText(text, size);
    const bool written = WriteRaw(m_adapterTcpipKey, value.name, value.type, data.get(), size);
    adapterCopy = written ? std::move(data) : nullptr;
    return written;
}

bool CAdapterSettings::WriteText(CRegistryKey& key, const char* name, const char* text, OwnedText& copy) {
    if (text == nullptr) return false;
    OwnedText fresh = CopyText(text, std::strlen(text) + 1);
    try {
        key.SetValue(name, text, REG_SZ);
    } catch (const CRegistryKey::Exception&) {
        copy.reset();
        return false;
    }
    copy = std::move(fresh);
    return true;
}

bool CAdapterSettings::SetIPAddress(const char* text) {
    return WriteTwoKeys(kIPAddress, text, &m_adapterIPAddress, &m_interfaceIPAddress);
}

bool CAdapterSettings::SetSubnetMask(const char* text) {
    return WriteTwoKeys(kSubnetMask, text, &m_adapterSubnetMask, &m_interfaceSubnetMask);
}

bool CAdapterSettings::SetDefaultGateway(const char* text) {
    return WriteTwoKeys(kDefaultGateway, text, &m_defaultGateway, &m_defaultGateway);
}

bool CAdapterSettings::SetNameServer(const char* text) {
    return WriteTwoKeys(kAdapterNameServer, text, nullptr, nullptr);
}

bool CAdapterSettings::DisableDhcp() {
    const DWORD disabled = 0;
    if (HasSeparateAdapterKey())
        WriteRaw(m_adapterTcpipKey, kEnableDhcp.name, kEnableDhcp.type, &disabled, sizeof disabled);
    return WriteRaw(m_interfaceKey, kEnableDhcp.name, kEnableDhcp.type, &disabled, sizeof disabled);
}

bool CAdapterSettings::SetAdapterIPAddress(const char* text) {
    return WriteAdapterList(kIPAddress, text, m_adapterIPAddress);
}

bool CAdapterSettings::SetAdapterSubnetMask(const char* text) {
    return WriteAdapterList(kSubnetMask, text, m_adapterSubnetMask);
}

bool CAdapterSettings::SetAdapterEnableDhcp(DWORD number) {
    if (!m_serviceName) return false;
    try {
        m_adapterTcpipKey.SetValue(kEnableDhcp.name, number, kEnableDhcp.type);
    } catch (const CRegistryKey::Exception&) {
        return false;
    }
    m_enableDhcp = number;
    return true;
}

bool CAdapterSettings::SetDhcpStart(DWORD number) {
    try {
        m_dhcpServiceKey.SetValue("Start", number, REG_DWORD);
    } catch (const CRegistryKey::Exception&) {
        return false;
    }
    m_dhcpStart = number;
    return true;
}

bool CAdapterSettings::SetHostName(const char* text) {
    return WriteText(m_tcpipParametersKey, "HostName", text, m_hostName);
}

bool CAdapterSettings::SetComputerName(const char* text) {
    return WriteText(m_computerNameKey, "ComputerName", text, m_computerName);
}
