#pragma once
// CAdapterSettings: the TCP/IP settings of one network adapter as the registry holds
// them (key paths, value names and types from the snapshot library's adapter table). Open loads the two
// TCP/IP keys of the adapter it is given (from the adapter inventory) plus the DHCP service, TCP/IP
// parameters and computer-name keys; the writers put new values straight into them. Where the adapter's
// per-service key is missing (today's Windows), the interface key stands in for it: it is read, and written
// once, in its place. Every key is opened in the 64-bit registry view.
#include <windows.h>

#include <cstdlib>
#include <memory>

#include "adapter_inventory/AdapterInventory.h"
#include "registry/Registry.h"
#include "settings_snapshot/AdapterKeys.h"

class CAdapterSettings {
public:
    // Starts closed: every key empty, every text null, both numbers 0. Opens nothing.
    CAdapterSettings();
    // Closes the store; the keys are released last, in reverse declaration order.
    virtual ~CAdapterSettings();

    CAdapterSettings(const CAdapterSettings&) = delete;
    CAdapterSettings& operator=(const CAdapterSettings&) = delete;

    // Closes, then loads the keys and values of the adapter (by its service name) from
    // this computer (machineName null) or the named one. True when everything loaded; a
    // list value that does not exist loads as the empty list. False on a missing or
    // mistyped value, or a service name the ANSI key paths cannot hold: what loaded
    // before the failure stays held. A registry error (a key that cannot be opened, a
    // number or text that cannot be read) closes the store and returns false.
    bool Open(const AdapterInventory::Adapter& adapter, const char* machineName = nullptr);
    // Empties every key, releases every text and buffer, zeroes both numbers. Never
    // fails; harmless on a closed store.
    void Close();

    // "IPAddress" as a one-entry list to the adapter key, then the interface key.
    // Returns the interface write's outcome; false without writing when the store has
    // no service name or text is null. Each key's cached copy follows its own write.
    bool SetIPAddress(const char* text);
    // "SubnetMask", as SetIPAddress.
    bool SetSubnetMask(const char* text);
    // "DefaultGateway", as SetIPAddress; the one cached copy ends up holding the text
    // exactly when the interface write succeeded.
    bool SetDefaultGateway(const char* text);
    // "NameServer" (text and two zero bytes, REG_SZ) to both adapter keys, as
    // SetIPAddress; caches nothing.
    bool SetNameServer(const char* text);
    // "EnableDHCP" = 0 to both adapter keys; returns the interface write's outcome.
    // The cached DHCP-enabled number is left as loaded.
    bool DisableDhcp();
    // "IPAddress" as a one-entry list to the adapter key only; false without writing
    // when there is no service name or text is null.
    bool SetAdapterIPAddress(const char* text);
    // "SubnetMask" to the adapter key only, as SetAdapterIPAddress.
    bool SetAdapterSubnetMask(const char* text);
    // "EnableDHCP" = number to the adapter key; caches it on success. False without
    // writing when there is no service name.
    bool SetAdapterEnableDhcp(DWORD number);
    // "Start" = number to the DHCP service key; caches it on success, false otherwise.
    bool SetDhcpStart(DWORD number);
    // "HostName" (REG_SZ) to the TCP/IP parameters key. Null text: false, nothing
    // written, cache untouched. Otherwise the cache holds the text on success, null
    // on failure.
    bool SetHostName(const char* text);
    // "ComputerName" (REG_SZ) to the computer-name key, as SetHostName.
    bool SetComputerName(const char* text);

    // Getters hand out the store's own texts (null when absent), valid until the next
    // writer of that value, Open, Close or destruction. They never touch the registry.
    const char* GetServiceName() const { return m_serviceName.get(); }
    DWORD GetDhcpStart() const { return m_dhcpStart; }
    DWORD GetEnableDhcp() const { return m_enableDhcp; }
    // First address of the adapter key's loaded list, or the text last written there.
    const char* GetIPAddress() const { return m_adapterIPAddress.get(); }
    const char* GetSubnetMask() const { return m_adapterSubnetMask.get(); }
    const char* GetDefaultGateway() const { return m_defaultGateway.get(); }
    const char* GetHostName() const { return m_hostName.get(); }
    const char* GetComputerName() const { return m_computerName.get(); }
    const char* GetMachineName() const { return m_machineName.get(); }

private:
    struct FreeDeleter {
        void operator()(char* block) const { std::free(block); }
    };
    // Every text and buffer of the store lives on the malloc heap, as the key
    // library's text reads hand them out.
    using OwnedText = std::unique_ptr<char, FreeDeleter>;

    static OwnedText CopyText(const char* text, size_t capacity);
    static bool ReadText(const BrenlowTools::CRegistryKey& key, const char* name, OwnedText& text);
    static bool ReadList(HKEY key, const char* name, OwnedText& list);
    static bool WriteText(BrenlowTools::CRegistryKey& key, const char* name, const char* text,
                          OwnedText& copy);
    BrenlowTools::CRegistryKey OpenKey(const char* path) const;
    void OpenAdapterKeys(const char* adapterPath, const char* interfacePath);
    bool HasSeparateAdapterKey() const;
    bool WriteTwoKeys(const SettingsSnapshot::AdapterValue& value, const char* text, OwnedText* adapterCopy,
                      OwnedText* interfaceCopy);
    bool WriteAdapterList(const SettingsSnapshot::AdapterValue& value, const char* text,
                          OwnedText& adapterCopy);

    OwnedText m_serviceName;
    OwnedText m_adapterIPAddress;
    OwnedText m_interfaceIPAddress;
    OwnedText m_adapterSubnetMask;
    OwnedText m_interfaceSubnetMask;
    OwnedText m_defaultGateway;
    OwnedText m_hostName;
    OwnedText m_computerName;
    DWORD m_dhcpStart = 0;
    DWORD m_enableDhcp = 0;
    OwnedText m_machineName;
    BrenlowTools::CRegistryKey m_dhcpServiceKey;
    BrenlowTools::CRegistryKey m_adapterTcpipKey;
    BrenlowTools::CRegistryKey m_interfaceKey;
    BrenlowTools::CRegistryKey m_tcpipParametersKey;
    BrenlowTools::CRegistryKey m_computerNameKey;
};
