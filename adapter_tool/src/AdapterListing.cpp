// Adapter table and listing, both taken from the adapter inventory.
#include "AdapterListing.h"

#include <windows.h>

#include <cstdio>

#include "ConsoleText.h"
#include "UnfinishedRun.h"
#include "win_base/PrintableText.h"

namespace {

using AdapterInventory::Adapter;
using AdapterInventory::LinkState;
using AdapterInventory::Medium;
using AdapterInventory::NetworkCard;

// Shown in the listing for a description or service name that cannot be read.
const wchar_t kUnreadable[] = L"(unreadable)";
// Shown for an adapter without a connection.
const wchar_t kNoConnection[] = L"(none)";

// The cards the tool numbers, in the registry's order: the walk ends before a card
// that cannot be opened and after one whose service name cannot be read. *status is
// that of opening NetworkCards itself; *refused tells whether an open was refused for
// lack of rights.
std::vector<NetworkCard> NumberedCards(LONG* status, bool* refused) {
    AdapterInventory::NetworkCardList list = AdapterInventory::ReadNetworkCards();
    *status = list.status;
    *refused = IsAccessRefusal(list.status);
    std::vector<NetworkCard> cards;
    for (NetworkCard& card : list.cards) {
        if (card.status != ERROR_SUCCESS) {
            *refused = *refused || IsAccessRefusal(card.status);
            break;
        }
        const bool named = card.serviceName.has_value();
        cards.push_back(std::move(card));
        if (!named) break;
    }
    return cards;
}

const wchar_t* MediumText(Medium medium) {
    switch (medium) {
        case Medium::Wired:
            return L"wired";
        case Medium::WiFi:
            return L"Wi-Fi";
        case Medium::Other:
            break;
    }
    return L"other";
}

const wchar_t* StateText(LinkState state) {
    switch (state) {
        case LinkState::Connected:
            return L"connected";
        case LinkState::NotConnected:
            return L"not connected";
        case LinkState::Unknown:
            break;
    }
    return L"unknown";
}

// The listing's lines for adapter number n. Every text from the registry has its control
// characters written out, so that none can forge a line.
std::wstring AdapterLines(size_t number, const NetworkCard& card, const Adapter& adapter) {
    using WinBase::PrintableText;
    const std::string digits = std::to_string(number);  // no wide printf in the tool
    std::wstring lines = L"\n" + std::wstring(digits.begin(), digits.end()) + L":\t" +
                         PrintableText(card.description.value_or(kUnreadable)) + L"\n";
    lines += L"\tName: " + PrintableText(card.serviceName.value_or(kUnreadable)) + L"\n";
    lines += L"\tConnection: " +
             (adapter.connectionName.empty() ? kNoConnection : PrintableText(adapter.connectionName)) + L"\n";
    lines +=
        std::wstring(L"\tState: ") + MediumText(adapter.medium) + L", " + StateText(adapter.state) + L"\n";
    return lines;
}

}  // namespace

void BuildAdapterTable(AdapterTable* table, bool withConnectionNames) {
    LONG status = ERROR_SUCCESS;
    std::vector<NetworkCard> cards = NumberedCards(&status, &table->accessRefused);
    // A card without a readable service name gets no entry; like the listing, the
    // table ends with it.
    if (!cards.empty() && !cards.back().serviceName) cards.pop_back();
    // Runs match adapters by number, service or connection name: no class entry needed.
    table->adapters = AdapterInventory::NameCards(cards, withConnectionNames);
}

RunStatus PrintUsage() {
    printf("\nadapset - Version 2.2, static TCP/IP settings of a network adapter\n\n");
    printf(
        "Usage: adapset adapterName ipAddress mask gateway nameServer1 nameServer2 winsServer1 "
        "winsServer2\n\n");
    printf("\tUse no parameters to display a numbered list of adapter names.\n");
    printf("\tYou may use the adapter number or the connection name instead of the name.\n");
    printf("\tThe default adapterName (use *) is the first adapter in your system.\n");
    printf("\tThe mask defaults to 255.255.255.0.\n");
    printf("\tUse * to omit intermediate parameters.\n");
    printf("\tMissing parameters will be set to empty strings.\n");
    const RunStatus status = ListAdapters();
    ReportUnfinishedRun();
    return status;
}

RunStatus ListAdapters() {
    LONG status = ERROR_SUCCESS;
    bool refused = false;
    const std::vector<NetworkCard> cards = NumberedCards(&status, &refused);
    if (status != ERROR_SUCCESS) return {printf("Cannot locate any network cards...\n"), refused};
    std::vector<Adapter> adapters = AdapterInventory::DescribeCards(cards);
    AdapterInventory::MergeLinkStates(adapters, AdapterInventory::QueryInterfaceLinks());
    printf("\nNetwork adapters:\n");
    std::wstring listing;
    for (size_t i = 0; i < cards.size(); ++i) listing += AdapterLines(i + 1, cards[i], adapters[i]);
    PrintText(listing);
    return {0, refused};
}
