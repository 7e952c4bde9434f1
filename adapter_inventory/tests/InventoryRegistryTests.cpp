// The inventory read from Wine's registry, seeded as a Windows 10 laptop; every key it
// reads made read-only first, and the whole tree compared afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "adapter_inventory/AdapterChoice.h"
#include "adapter_inventory/AdapterInventory.h"
#include "test_support/RegistryFixture.h"
#include "test_support/TestMachine.h"

using namespace AdapterInventory;
using namespace TestSupport;

namespace {

std::wstring Wide(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

class InventoryRegistry : public ::testing::Test {
protected:
    static std::vector<std::string> Roots() {
        std::vector<std::string> roots = AdapterRoots(Windows10Machine());
        for (const SeedAdapter& a : TwoAdapterMachine()) roots.push_back(kServices + a.service);
        roots.push_back(ClassEntryKey("0009"));
        return roots;
    }
    static void SetUpTestSuite() { original_ = new Snapshot(CaptureTrees(Roots())); }
    static void TearDownTestSuite() {
        EXPECT_TRUE(RestoreTrees(Roots(), *original_));
        delete original_;
    }
    void SetUp() override {
        machine_ = Windows10Machine();
        ASSERT_TRUE(SeedMachine(machine_));
    }
    // The seeded adapter with this service name.
    const SeedAdapter& Seeded(const std::wstring& service) const {
        for (const SeedAdapter& a : machine_)
            if (Wide(a.service) == service) return a;
        static const SeedAdapter none;
        return none;
    }

    static Snapshot* original_;
    std::vector<SeedAdapter> machine_;
};

Snapshot* InventoryRegistry::original_ = nullptr;

}  // namespace

TEST_F(InventoryRegistry, ReadsTheLaptopReadOnlyAndWritesNothing) {
    // Every key it reads refuses writing; the kernel debugger's adapter has no card.
    std::vector<std::unique_ptr<ScopedKeySecurity>> readOnly;
    readOnly.push_back(std::make_unique<ScopedKeySecurity>(HKEY_LOCAL_MACHINE, kNetworkCards));
    for (const SeedAdapter& a : machine_) {
        if (!a.subkey.empty())
            readOnly.push_back(std::make_unique<ScopedKeySecurity>(
                HKEY_LOCAL_MACHINE, std::string(kNetworkCards) + "\\" + a.subkey));
        readOnly.push_back(
            std::make_unique<ScopedKeySecurity>(HKEY_LOCAL_MACHINE, ClassEntryKey(a.classEntry)));
        if (!a.connectionName.empty())
            readOnly.push_back(
                std::make_unique<ScopedKeySecurity>(HKEY_LOCAL_MACHINE, ConnectionKey(a.service)));
    }
    const Snapshot before = CaptureTrees(Roots());

    const std::vector<Adapter> adapters = ReadAdapters();
    ASSERT_EQ(adapters.size(), 3u);
    std::vector<std::string> expectedOrder;
    for (const std::string& service : EnumeratedServices()) expectedOrder.push_back(service);
    for (size_t i = 0; i < adapters.size(); ++i) {
        SCOPED_TRACE(i);
        const Adapter& adapter = adapters[i];
        EXPECT_EQ(adapter.serviceName, Wide(expectedOrder[i]));
        const SeedAdapter& seeded = Seeded(adapter.serviceName);
        EXPECT_EQ(adapter.cardKey, Wide(seeded.subkey));
        EXPECT_EQ(adapter.description, Wide(seeded.description));
        EXPECT_EQ(adapter.connectionName, seeded.connectionName);
        EXPECT_EQ(adapter.physical, (seeded.characteristics & 0x4) != 0);
        EXPECT_EQ(adapter.isVirtual, (seeded.characteristics & 0x1) != 0);
        EXPECT_FALSE(adapter.hidden);
        EXPECT_EQ(adapter.medium, seeded.mediaType == 14  ? Medium::Wired
                                  : seeded.mediaType == 9 ? Medium::WiFi
                                                          : Medium::Other);
        // Wine's IP Helper knows only the host's interfaces.
        EXPECT_EQ(adapter.state, LinkState::Unknown);
    }
    const std::optional<size_t> chosen = ChooseAdapter(adapters);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(adapters[*chosen].connectionName, L"\u4e59\u592a\u7db2\u8def");
    readOnly.clear();
    for (const std::string& difference : SnapshotDifferences(before, CaptureTrees(Roots())))
        ADD_FAILURE() << difference;
}

// A text longer than the first read's buffer is read whole.
TEST_F(InventoryRegistry, LongTextsAreReadWhole) {
    SeedAdapter& card = *std::find_if(machine_.begin(), machine_.end(),
                                      [](const SeedAdapter& a) { return !a.subkey.empty(); });
    card.description = std::string(300, 'd') + "!";
    ASSERT_TRUE(SeedMachine(machine_));
    const NetworkCardList list = ReadNetworkCards();
    const auto found = std::find_if(list.cards.begin(), list.cards.end(),
                                    [&](const NetworkCard& c) { return c.cardKey == Wide(card.subkey); });
    ASSERT_NE(found, list.cards.end());
    EXPECT_EQ(found->description, Wide(card.description));
}

TEST_F(InventoryRegistry, ClassEntriesMatchWithoutRegardToCaseAndOnlyByInstanceId) {
    // The wired adapter's entry spells the GUID in lower case; a decoy entry that is not
    // named by four digits claims the Wi-Fi adapter's GUID as a hidden one.
    ASSERT_TRUE(PutValue(ClassEntryKey(machine_[0].classEntry), "NetCfgInstanceId",
                         StringValue(Lower(machine_[0].service))));
    ASSERT_TRUE(PutValue(ClassEntryKey("Properties"), "NetCfgInstanceId", StringValue(machine_[1].service)));
    ASSERT_TRUE(PutValue(ClassEntryKey("Properties"), "Characteristics", DwordValue(0x9)));
    // A class entry whose values are of the wrong type tells nothing.
    ASSERT_TRUE(PutValue(ClassEntryKey(machine_[2].classEntry), "Characteristics", StringValue("132")));
    const std::vector<Adapter> adapters = ReadAdaptersFromRegistry();
    RemoveTree(ClassEntryKey("Properties"));
    ASSERT_EQ(adapters.size(), 3u);
    for (const Adapter& adapter : adapters) {
        SCOPED_TRACE(std::string(adapter.serviceName.begin(), adapter.serviceName.end()));
        const SeedAdapter& seeded = Seeded(adapter.serviceName);
        EXPECT_FALSE(adapter.hidden);
        EXPECT_EQ(adapter.physical, seeded.characteristics == 0x84);
        EXPECT_FALSE(adapter.isVirtual);
    }
}

TEST_F(InventoryRegistry, CardsWithoutServiceNameAreListedButNotAdapters) {
    const std::string broken = std::string(kNetworkCards) + "\\9";
    ASSERT_TRUE(PutValue(broken, "Description", StringValue("Broken Card")));
    ASSERT_TRUE(PutValue(broken, "ServiceName", DwordValue(7)));
    const std::string empty = std::string(kNetworkCards) + "\\10";
    ASSERT_TRUE(PutValue(empty, "ServiceName", StringValue("")));

    const NetworkCardList list = ReadNetworkCards();
    EXPECT_EQ(list.status, ERROR_SUCCESS);
    ASSERT_EQ(list.cards.size(), 5u);
    for (const NetworkCard& card : list.cards) {
        EXPECT_EQ(card.status, ERROR_SUCCESS);
        if (card.cardKey == L"9") {
            EXPECT_EQ(card.description, std::wstring(L"Broken Card"));
            EXPECT_EQ(card.serviceName, std::nullopt);
        } else if (card.cardKey == L"10") {
            EXPECT_EQ(card.description, std::nullopt);
            EXPECT_EQ(card.serviceName, std::wstring());
        }
    }
    EXPECT_EQ(ReadAdaptersFromRegistry().size(), 3u);

    // A card that may not be read keeps its place with its status.
    const ScopedKeySecurity unreadable(HKEY_LOCAL_MACHINE, broken, "D:P(A;;SDWD;;;WD)");
    for (const NetworkCard& card : ReadNetworkCards().cards) {
        if (card.cardKey == L"9") {
            EXPECT_EQ(card.status, ERROR_ACCESS_DENIED);
        }
    }
}

TEST_F(InventoryRegistry, NoNetworkCardsGivesNoAdapters) {
    RemoveTree(kNetworkCards);
    EXPECT_EQ(ReadNetworkCards().status, ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(ReadAdapters().empty());
    // The classic layout has no class entries: nothing is physical, the first is chosen.
    ASSERT_TRUE(SeedMachine(TwoAdapterMachine()));
    const std::vector<Adapter> adapters = ReadAdapters();
    ASSERT_EQ(adapters.size(), 2u);
    EXPECT_FALSE(adapters[0].physical);
    EXPECT_EQ(adapters[0].medium, Medium::Other);
    EXPECT_EQ(ChooseAdapter(adapters), 0u);
}
