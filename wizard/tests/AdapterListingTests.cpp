// How the entry page lists adapters: names, descriptions and link states.
#include <gtest/gtest.h>

#include "apply/AdapterListing.h"

using AdapterInventory::Adapter;
using AdapterInventory::LinkState;

namespace {

const AdapterStateTexts States{L"已連線", L"未連線"};

Adapter Named(const std::wstring& connection, const std::wstring& description, LinkState state) {
    Adapter adapter;
    adapter.serviceName = L"{0E6A21C4-0000-4000-8000-00000000000A}";
    adapter.connectionName = connection;
    adapter.description = description;
    adapter.state = state;
    return adapter;
}

}  // namespace

TEST(AdapterListing, ConnectionNameWithDescriptionAndTheStateWhenKnown) {
    EXPECT_EQ(AdapterLabel(Named(L"乙太網路", L"Intel(R) Ethernet I219-V", LinkState::Connected), States),
              L"乙太網路 (Intel(R) Ethernet I219-V) 已連線");
    EXPECT_EQ(AdapterLabel(Named(L"Wi-Fi", L"Intel(R) Wi-Fi 6 AX201", LinkState::NotConnected), States),
              L"Wi-Fi (Intel(R) Wi-Fi 6 AX201) 未連線");
    EXPECT_EQ(AdapterLabel(Named(L"藍牙網路連線", L"Bluetooth Device (PAN)", LinkState::Unknown), States),
              L"藍牙網路連線 (Bluetooth Device (PAN))");
}

// Wine's own cards and old systems have no connection name: the description, else the
// service name, stands for the adapter, in the list and in messages.
TEST(AdapterListing, WithoutAConnectionNameTheDescriptionOrServiceNameNamesIt) {
    const Adapter described = Named(L"", L"eth0", LinkState::Connected);
    EXPECT_EQ(AdapterDisplayName(described), L"eth0");
    EXPECT_EQ(AdapterLabel(described, States), L"eth0 已連線");
    const Adapter bare = Named(L"", L"", LinkState::Unknown);
    EXPECT_EQ(AdapterDisplayName(bare), L"{0E6A21C4-0000-4000-8000-00000000000A}");
    EXPECT_EQ(AdapterLabel(bare, States), L"{0E6A21C4-0000-4000-8000-00000000000A}");
    EXPECT_EQ(AdapterDisplayName(Named(L"Wi-Fi", L"x", LinkState::Unknown)), L"Wi-Fi");
}

// Names come from the registry: a line break or terminal sequence in one is written out
// in the list and in every message that names the adapter.
TEST(AdapterListing, ControlCharactersInNamesAreWrittenOut) {
    const Adapter forged = Named(L"LAN\r\n\x1b[31m", L"Card\x85\u2028", LinkState::Unknown);
    EXPECT_EQ(AdapterDisplayName(forged), L"LAN\\x0d\\x0a\\x1b[31m");
    EXPECT_EQ(AdapterLabel(forged, States), L"LAN\\x0d\\x0a\\x1b[31m (Card\\x85\\u2028)");
    EXPECT_EQ(AdapterDisplayName(Named(L"", L"\u202eeth0", LinkState::Unknown)), L"\\u202eeth0");
}
