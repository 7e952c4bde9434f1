// The machine's network adapters as the registry and the IP Helper describe them:
// the one place both programs take adapter facts from. Read access only, 64-bit view.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace AdapterInventory {

enum class Medium { Wired, WiFi, Other };
enum class LinkState { Connected, NotConnected, Unknown };

struct Adapter {
    std::wstring cardKey;                  // NetworkCards subkey name: "2", "15"
    std::wstring serviceName;              // its ServiceName, as NetworkCards spells it
    std::wstring description;              // its Description; may be empty
    std::wstring connectionName;           // Control\Network\{class}\<service>\Connection Name; may be empty
    bool physical = false;                 // class entry Characteristics has NCF_PHYSICAL (0x4)
    bool hidden = false;                   // ... NCF_HIDDEN (0x8)
    bool isVirtual = false;                // ... NCF_VIRTUAL (0x1)
    Medium medium = Medium::Other;         // *PhysicalMediaType 14 wired, 9 Wi-Fi, else other
    LinkState state = LinkState::Unknown;  // from GetIfTable2; Unknown where it has no row
};

// Every NetworkCards subkey with a non-empty ServiceName, in the registry's order, with
// its class entry facts and link state; empty when NetworkCards cannot be read.
std::vector<Adapter> ReadAdapters();

// One NetworkCards subkey as read, values that cannot be read included.
struct NetworkCard {
    std::wstring cardKey;
    long status = 0;  // of opening the subkey (ERROR_SUCCESS); both values are nullopt otherwise
    std::optional<std::wstring> description;  // nullopt when missing, not text or unreadable
    std::optional<std::wstring> serviceName;  // likewise
};

// The NetworkCards subkeys in the registry's order, and the status of opening the key
// itself (ERROR_SUCCESS; ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED ... with no cards).
struct NetworkCardList {
    long status = 0;
    std::vector<NetworkCard> cards;
};

// Reads NetworkCards card by card; a subkey that cannot be opened keeps its place in
// the list with its status.
NetworkCardList ReadNetworkCards();

// The adapters of the given cards, one per card in the same order (a card without a
// service name gives an adapter with none), with connection names and class entry
// facts; every state Unknown.
std::vector<Adapter> DescribeCards(const std::vector<NetworkCard>& cards);
// The same with connection names only (none either when withConnectionNames is false):
// the class entries are not read, so every adapter's class entry facts keep their
// defaults. For callers that match names alone.
std::vector<Adapter> NameCards(const std::vector<NetworkCard>& cards, bool withConnectionNames = true);

// Same, but without asking the IP Helper: every state is Unknown.
std::vector<Adapter> ReadAdaptersFromRegistry();

// The service names of those adapters, in the same order (what a snapshot of this
// machine may name); empty when NetworkCards cannot be read.
std::vector<std::wstring> ReadServiceNames();

// One link state per interface GUID, as the IP Helper reports it.
struct InterfaceLink {
    std::wstring interfaceGuid;  // "{...}", any case
    LinkState state = LinkState::Unknown;
};

// The IP Helper's interfaces (GetIfTable2) and their media connect states; empty when
// the table cannot be read.
std::vector<InterfaceLink> QueryInterfaceLinks();

// Sets each adapter's state from the links of its service name (compared without regard
// to case): Connected when any of them is, else NotConnected when any is; adapters
// without a known link become Unknown.
void MergeLinkStates(std::vector<Adapter>& adapters, const std::vector<InterfaceLink>& links);

// Case-insensitive comparison of service names (Windows 10 writes interface GUIDs in
// lower case, NetworkCards in upper case).
bool SameServiceName(const std::wstring& a, const std::wstring& b);

}  // namespace AdapterInventory
