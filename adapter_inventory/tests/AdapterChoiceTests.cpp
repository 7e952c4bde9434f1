// The adapter rule, the name matcher and the merge of link states, over lists built here.
#include <gtest/gtest.h>

#include "adapter_inventory/AdapterChoice.h"
#include "adapter_inventory/AdapterInventory.h"

using namespace AdapterInventory;

namespace {

Adapter Make(const wchar_t* service, const wchar_t* connection, bool physical, Medium medium,
             LinkState state = LinkState::Unknown) {
    Adapter adapter;
    adapter.serviceName = service;
    adapter.connectionName = connection;
    adapter.physical = physical;
    adapter.medium = medium;
    adapter.state = state;
    return adapter;
}

Adapter Hidden(Adapter adapter) {
    adapter.hidden = true;
    return adapter;
}

Adapter Virtual(Adapter adapter) {
    adapter.isVirtual = true;
    return adapter;
}

const Adapter kBluetooth = Virtual(Make(L"{B}", L"Bluetooth", false, Medium::Other));
const Adapter kWiFi = Make(L"{W}", L"Wi-Fi", true, Medium::WiFi, LinkState::Connected);
const Adapter kWired = Make(L"{E}", L"Ethernet", true, Medium::Wired, LinkState::NotConnected);
const Adapter kWiredConnected = Make(L"{F}", L"Ethernet 2", true, Medium::Wired, LinkState::Connected);
// The kernel debugger's adapter: wired medium, physical bit set, but hidden and virtual.
const Adapter kDebugger = Hidden(Virtual(Make(L"{K}", L"", true, Medium::Wired, LinkState::Connected)));

}  // namespace

TEST(ChooseAdapter, PrefersConnectedWiredThenWiredThenPhysicalThenFirst) {
    EXPECT_EQ(ChooseAdapter({}), std::nullopt);
    EXPECT_EQ(ChooseAdapter({kBluetooth, kWiFi, kWired, kWiredConnected}), 3u);
    EXPECT_EQ(ChooseAdapter({kBluetooth, kWiFi, kWired}), 2u);  // a wired one before a connected Wi-Fi
    EXPECT_EQ(ChooseAdapter({kBluetooth, kWiFi}), 1u);
    EXPECT_EQ(ChooseAdapter({kBluetooth}), 0u);
    // Unknown states (no IP Helper row) still find the wired adapter.
    Adapter unknownWired = kWired;
    unknownWired.state = LinkState::Unknown;
    EXPECT_EQ(ChooseAdapter({kWiFi, unknownWired}), 1u);
}

TEST(ChooseAdapter, HiddenOrVirtualIsNeverPhysical) {
    EXPECT_EQ(ChooseAdapter({kDebugger, kBluetooth, kWired}), 2u);
    EXPECT_EQ(ChooseAdapter({kDebugger, kWiFi}), 1u);
    EXPECT_EQ(ChooseAdapter({Hidden(kWiredConnected), kWiFi}), 1u);
    EXPECT_EQ(ChooseAdapter({Virtual(kWiredConnected), kWiFi}), 1u);  // a VPN's wired look-alike
    EXPECT_EQ(ChooseAdapter({Virtual(kWiredConnected), kBluetooth}), 0u);  // only the first is left
    EXPECT_EQ(ChooseAdapter({kDebugger}), 0u);
}

TEST(FindAdapter, NumbersThenServiceNamesThenConnectionNames) {
    const std::vector<Adapter> adapters = {
        Make(L"{3A8F21C4-5B6D-4E7F-8A9B-0C1D2E3F4A5F}", L"\u85cd\u7259\u7db2\u8def\u9023\u7dda", false,
             Medium::Other),
        Make(L"{3A8F21C4-5B6D-4E7F-8A9B-0C1D2E3F4A52}", L"\u4e59\u592a\u7db2\u8def", true, Medium::Wired),
        Make(L"{3A8F21C4-5B6D-4E7F-8A9B-0C1D2E3F4A53}", L"Wi-Fi", true, Medium::WiFi),
        Make(L"Svc4", L"3", true, Medium::Other),     // a connection named like a number
        Make(L"Svc5", L"Svc4", true, Medium::Other),  // ... and like another's service
    };
    EXPECT_EQ(FindAdapter(adapters, L"1"), 0u);
    EXPECT_EQ(FindAdapter(adapters, L"3"), 2u);
    EXPECT_EQ(FindAdapter(adapters, L"5"), 4u);
    EXPECT_EQ(FindAdapter(adapters, L"0"), std::nullopt);
    EXPECT_EQ(FindAdapter(adapters, L"6"), std::nullopt);
    EXPECT_EQ(FindAdapter(adapters, L"4294967297"), std::nullopt);  // never wraps to 1
    EXPECT_EQ(FindAdapter(adapters, L"{3a8f21c4-5b6d-4e7f-8a9b-0c1d2e3f4a53}"), 2u);
    EXPECT_EQ(FindAdapter(adapters, L"svc4"), 3u);
    EXPECT_EQ(FindAdapter(adapters, L"\u4e59\u592a\u7db2\u8def"), 1u);
    EXPECT_EQ(FindAdapter(adapters, L"\u85cd\u7259\u7db2\u8def\u9023\u7dda"), 0u);
    EXPECT_EQ(FindAdapter(adapters, L"WI-fi"), 2u);
    EXPECT_EQ(FindAdapter(adapters, L"\u4e59\u592a\u7db2"), std::nullopt);  // no prefix match
    EXPECT_EQ(FindAdapter(adapters, L"Wi-Fi "), std::nullopt);
    EXPECT_EQ(FindAdapter(adapters, L""), std::nullopt);
    EXPECT_EQ(FindAdapter({}, L"1"), std::nullopt);
}

TEST(FindAdapter, CaseFoldingGoesBeyondAscii) {
    const std::vector<Adapter> adapters = {Make(L"{A}", L"", true, Medium::Wired),
                                           Make(L"{B}", L"\u00c9THERNET \u0394", true, Medium::Wired)};
    EXPECT_EQ(FindAdapter(adapters, L"\u00e9thernet \u03b4"), 1u);
    EXPECT_EQ(FindAdapter(adapters, L"ethernet \u03b4"), std::nullopt);
    // An empty connection name matches nothing, not an empty argument.
    EXPECT_EQ(FindAdapter(adapters, L" "), std::nullopt);
}

TEST(MergeLinkStates, MatchesGuidsWithoutRegardToCase) {
    std::vector<Adapter> adapters = {
        Make(L"{3A8F21C4-5B6D-4E7F-8A9B-0C1D2E3F4A52}", L"", true, Medium::Wired, LinkState::Connected),
        Make(L"{3A8F21C4-5B6D-4E7F-8A9B-0C1D2E3F4A53}", L"", true, Medium::WiFi),
        Make(L"{3A8F21C4-5B6D-4E7F-8A9B-0C1D2E3F4A5F}", L"", false, Medium::Other),
    };
    MergeLinkStates(adapters, {
                                  {L"{3a8f21c4-5b6d-4e7f-8a9b-0c1d2e3f4a52}", LinkState::NotConnected},
                                  {L"{3A8F21C4-5B6D-4E7F-8A9B-0C1D2E3F4A53}", LinkState::Connected},
                                  {L"{00000001-0000-0000-0000-4E6574446576}", LinkState::Connected},
                              });
    EXPECT_EQ(adapters[0].state, LinkState::NotConnected);  // the earlier state is replaced
    EXPECT_EQ(adapters[1].state, LinkState::Connected);
    EXPECT_EQ(adapters[2].state, LinkState::Unknown);
    EXPECT_EQ(ChooseAdapter(adapters), 0u);

    // Several rows for one interface: a connected one wins; unknown rows say nothing.
    MergeLinkStates(adapters, {
                                  {L"{3A8F21C4-5B6D-4E7F-8A9B-0C1D2E3F4A52}", LinkState::NotConnected},
                                  {L"{3A8F21C4-5B6D-4E7F-8A9B-0C1D2E3F4A52}", LinkState::Connected},
                                  {L"{3A8F21C4-5B6D-4E7F-8A9B-0C1D2E3F4A53}", LinkState::Unknown},
                                  {L"{3A8F21C4-5B6D-4E7F-8A9B-0C1D2E3F4A53}", LinkState::NotConnected},
                              });
    EXPECT_EQ(adapters[0].state, LinkState::Connected);
    EXPECT_EQ(adapters[1].state, LinkState::NotConnected);
    MergeLinkStates(adapters, {});
    for (const Adapter& adapter : adapters) EXPECT_EQ(adapter.state, LinkState::Unknown);
}
