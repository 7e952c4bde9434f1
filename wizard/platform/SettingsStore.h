#pragma once
#include "apply/ApplySequence.h"
#include "adapter_settings/AdapterSettings.h"

// The store of the running apply sequence, for the whole process; null when no
// sequence runs. Set by the sequence before it opens the store.
extern CAdapterSettings* g_pAdapterSettings;

// Publishes a store in g_pAdapterSettings for as long as this object lives.
class CPublishedStore {
public:
    explicit CPublishedStore(CAdapterSettings& settings) { g_pAdapterSettings = &settings; }
    ~CPublishedStore() { g_pAdapterSettings = nullptr; }
    CPublishedStore(const CPublishedStore&) = delete;
    CPublishedStore& operator=(const CPublishedStore&) = delete;
};

// The apply sequence's view of the published store: every store call goes through
// g_pAdapterSettings, on this computer.
class CPublishedStoreOperations : public ISettingsStore {
public:
    bool Open(const AdapterInventory::Adapter& adapter) override {
        return g_pAdapterSettings->Open(adapter, nullptr);
    }
    bool SetIPAddress(const char* text) override { return g_pAdapterSettings->SetIPAddress(text); }
    bool SetSubnetMask(const char* text) override { return g_pAdapterSettings->SetSubnetMask(text); }
    bool SetDefaultGateway(const char* text) override { return g_pAdapterSettings->SetDefaultGateway(text); }
    bool SetNameServer(const char* text) override { return g_pAdapterSettings->SetNameServer(text); }
    bool DisableDhcp() override { return g_pAdapterSettings->DisableDhcp(); }
    void Close() override { g_pAdapterSettings->Close(); }
};
