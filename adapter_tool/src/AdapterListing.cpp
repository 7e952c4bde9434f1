// Adapter table and listing, both read from the NetworkCards subkeys.
#include "AdapterListing.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "AccessRefusal.h"
#include "KeyHandle.h"

namespace {

const char kNetworkCardsPath[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";

// Shown in the listing for a description or service name that cannot be read.
const char kUnreadable[] = "(unreadable)";

// What reading one NetworkCards subkey gave.
enum CardRead {
    kNoCard,           // no subkey at this index, or it cannot be opened: the walk ends
    kCardRead,         // service name read (the description may still be missing)
    kCardWithoutName,  // service name unreadable: this card ends the walk
};

// Reads a REG_SZ or REG_EXPAND_SZ value whole into text; false (text empty) when it is
// missing, of another type or cannot be read.
bool ReadStringValue(HKEY key, const char* name, std::string* text) {
    text->clear();
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG status = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
    // The value may grow between the two reads; a few tries are enough.
    for (int attempt = 0; attempt < 4 && (status == ERROR_SUCCESS || status == ERROR_MORE_DATA); ++attempt) {
        std::string buffer(size + 1, '\0');
        DWORD got = size;
        status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&buffer[0]), &got);
        if (status == ERROR_SUCCESS) {
            if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
            buffer.resize(strnlen(buffer.c_str(), got));
            *text = buffer;
            return true;
        }
        size = got;
    }
    return false;
}

// Reads subkey number index of the open NetworkCards key: its "Description" (when
// description is not null; empty and *hasDescription false when unreadable) and
// its "ServiceName".
CardRead ReadCard(HKEY cards, DWORD index, std::string* description, bool* hasDescription,
                  std::string* serviceName) {
    char subkeyName[260];
    DWORD nameLength = sizeof subkeyName;
    if (RegEnumKeyExA(cards, index, subkeyName, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
        return kNoCard;
    KeyHandle card;
    if (NoteOpenStatus(card.Open(cards, subkeyName, KEY_READ)) != ERROR_SUCCESS) return kNoCard;
    if (description != nullptr) *hasDescription = ReadStringValue(card.Get(), "Description", description);
    return ReadStringValue(card.Get(), "ServiceName", serviceName) ? kCardRead : kCardWithoutName;
}

}  // namespace

void BuildAdapterTable(AdapterTable* table) {
    table->serviceNames.clear();
    KeyHandle cards;
    if (NoteOpenStatus(cards.Open(HKEY_LOCAL_MACHINE, kNetworkCardsPath, KEY_READ)) != ERROR_SUCCESS) return;
    std::string serviceName;
    // An adapter without a readable service name gets no entry; like the listing,
    // the table ends with it.
    for (DWORD index = 0; ReadCard(cards.Get(), index, nullptr, nullptr, &serviceName) == kCardRead; ++index)
        table->serviceNames.push_back(serviceName);
}

int PrintUsage() {
    printf("\nadapset - Version 2.2, static TCP/IP settings of a network adapter\n\n");
    printf(
        "Usage: adapset adapterName ipAddress mask gateway nameServer1 nameServer2 winsServer1 "
        "winsServer2\n\n");
    printf("\tUse no parameters to display a numbered list of adapter names.\n");
    printf("\tYou may use the adapter number instead of the name.\n");
    printf("\tThe default adapterName (use *) is the first adapter in your system.\n");
    printf("\tThe mask defaults to 255.255.255.0.\n");
    printf("\tUse * to omit intermediate parameters.\n");
    printf("\tMissing parameters will be set to empty strings.\n");
    return ListAdapters();
}

int ListAdapters() {
    KeyHandle cards;
    if (NoteOpenStatus(cards.Open(HKEY_LOCAL_MACHINE, kNetworkCardsPath, KEY_READ)) != ERROR_SUCCESS)
        return printf("Cannot locate any network cards...\n");
    printf("\nNetwork adapters:\n");
    std::string description;
    std::string serviceName;
    bool hasDescription = false;
    CardRead read = kCardRead;
    for (DWORD index = 0; read == kCardRead; ++index) {
        read = ReadCard(cards.Get(), index, &description, &hasDescription, &serviceName);
        if (read == kNoCard) break;
        printf("\n%lu:\t%s\n", static_cast<unsigned long>(index) + 1,
               hasDescription ? description.c_str() : kUnreadable);
        printf("\tName: %s\n", read == kCardRead ? serviceName.c_str() : kUnreadable);
    }
    return 0;
}
