#pragma once
#include "adapter_settings/AdapterSettings.h"
#include "apply/ApplySequence.h"

// The apply sequence's view of the chosen adapter's store: every call goes to the
// CAdapterSettings it was given, on this computer.
class CAdapterStore : public ISettingsStore {
public:
    explicit CAdapterStore(CAdapterSettings& settings) : m_settings(settings) {}

    bool Open(const AdapterInventory::Adapter& adapter) override { return m_settings.Open(adapter, nullptr); }
    bool SetIPAddress(const char* text) override { return m_settings.SetIPAddress(text); }
    bool SetSubnetMask(const char* text) override { return m_settings.SetSubnetMask(text); }
    bool SetDefaultGateway(const char* text) override { return m_settings.SetDefaultGateway(text); }
    bool SetNameServer(const char* text) override { return m_settings.SetNameServer(text); }
    bool DisableDhcp() override { return m_settings.DisableDhcp(); }
    void Close() override { m_settings.Close(); }

private:
    CAdapterSettings& m_settings;
};
