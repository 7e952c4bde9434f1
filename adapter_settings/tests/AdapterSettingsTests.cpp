// CAdapterSettings against a seeded registry. HKEY_LOCAL_MACHINE is redirected to a
// scratch key for this process, so the store sees only the seed and nothing
// machine-wide changes. Seeds and checks go to the scratch key directly.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <malloc.h>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "adapter_settings/AdapterSettings.h"
#include "test_support/RegistryFixture.h"

using TestSupport::BytesValue;
using TestSupport::DwordValue;
using TestSupport::MultiStringValue;
using TestSupport::RawValue;
using TestSupport::StringValue;

namespace {

const std::string kService = "TestAdapter7";
const std::string kDhcp = "SYSTEM\\CurrentControlSet\\Services\\DHCP";
const std::string kServices = "SYSTEM\\CurrentControlSet\\Services\\";
const std::string kInterfaces = kServices + "Tcpip\\Parameters\\Interfaces\\";
const std::string kParameters = kServices + "Tcpip\\Parameters";
const std::string kComputer = "SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName";

// The adapter as the inventory hands it to the store.
AdapterInventory::Adapter Card(const std::string& service = kService) {
    AdapterInventory::Adapter adapter;
    adapter.cardKey = L"7";
    adapter.serviceName.assign(service.begin(), service.end());
    return adapter;
}

std::string AdapterPath(const std::string& service = kService) {
    return kServices + service + "\\Parameters\\Tcpip";
}
std::string InterfacePath(const std::string& service = kService) {
    return kInterfaces + service;
}

// What a list writer must produce: the text and two zero bytes.
RawValue OneEntry(DWORD type, const std::string& text) {
    return BytesValue(type, text + std::string(2, '\0'));
}

const RawValue kPoison = BytesValue(REG_BINARY, "poison");
const char* const kWrittenNames[] = {"IPAddress", "SubnetMask", "DefaultGateway", "NameServer", "EnableDHCP"};

class AdapterSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegOverridePredefKey(HKEY_LOCAL_MACHINE, m_machine.Handle()), ERROR_SUCCESS);
        Seed();
    }
    void TearDown() override { RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr); }

    void Seed() {
        Delete("SYSTEM");
        Delete("SOFTWARE");
        SeedAdapter(kService);
        Write(kDhcp, "Start", DwordValue(2));
        Write(kParameters, "HostName", StringValue("tarvelo-host"));
        Write(kComputer, "ComputerName", StringValue("TARVELO-PC"));
    }
    void SeedAdapter(const std::string& service) {
        Write(AdapterPath(service), "EnableDHCP", DwordValue(1));
        Write(AdapterPath(service), "IPAddress", MultiStringValue({"10.1.2.3", "10.1.2.4"}));
        Write(AdapterPath(service), "SubnetMask", MultiStringValue({"255.255.0.0", "255.0.0.0"}));
        Write(AdapterPath(service), "DefaultGateway", MultiStringValue({"10.1.0.1"}));
        Write(InterfacePath(service), "IPAddress", MultiStringValue({"10.9.9.9"}));
    }
    void Write(const std::string& path, const std::string& name, const RawValue& value) {
        TestSupport::WriteRawValue(m_machine.Root(), m_machine.Sub(path), name, value);
    }
    // Stores text as REG_MULTI_SZ without any zero byte. The registry counts a zero
    // that directly follows string data as part of it, so a non-zero byte follows here.
    void WriteUnterminated(const std::string& path, const char* name, const std::string& text) {
        const std::string data = text + "!";
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExA(m_machine.Root(), m_machine.Sub(path).c_str(), 0, KEY_SET_VALUE, &key),
                  ERROR_SUCCESS);
        const LONG status =
            RegSetValueExA(key, name, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                           static_cast<DWORD>(text.size()));
        RegCloseKey(key);
        ASSERT_EQ(status, ERROR_SUCCESS);
    }
    std::optional<RawValue> Read(const std::string& path, const std::string& name) const {
        return TestSupport::ReadRawValue(m_machine.Root(), m_machine.Sub(path), name);
    }
    void Delete(const std::string& path) { TestSupport::DeleteTree(m_machine.Root(), m_machine.Sub(path)); }
    void DeleteValue(const std::string& path, const char* name) {
        ASSERT_EQ(RegDeleteKeyValueA(m_machine.Root(), m_machine.Sub(path).c_str(), name), ERROR_SUCCESS);
    }
    // Lets everyone read and delete the key, but no longer open it with full access.
    void DenyFullAccess(const std::string& path) {
        TestSupport::SetKeySecurity(m_machine.Root(), m_machine.Sub(path), "D:P(A;;KRSD;;;WD)");
    }

    // Poisons every value a writer touches; ExpectPoisonKept then proves nothing was written.
    void PoisonWrittenValues() {
        for (const char* name : kWrittenNames) {
            Write(AdapterPath(), name, kPoison);
            Write(InterfacePath(), name, kPoison);
        }
        Write(kDhcp, "Start", kPoison);
        Write(kParameters, "HostName", kPoison);
        Write(kComputer, "ComputerName", kPoison);
    }
    void ExpectPoisonKept(bool dhcpKeyPresent = true) const {
        for (const char* name : kWrittenNames) {
            EXPECT_EQ(Read(AdapterPath(), name), kPoison) << name;
            EXPECT_EQ(Read(InterfacePath(), name), kPoison) << name;
        }
        if (dhcpKeyPresent) {
            EXPECT_EQ(Read(kDhcp, "Start"), kPoison);
        } else {
            EXPECT_FALSE(TestSupport::KeyExists(m_machine.Root(), m_machine.Sub(kDhcp)));
        }
        EXPECT_EQ(Read(kParameters, "HostName"), kPoison);
        EXPECT_EQ(Read(kComputer, "ComputerName"), kPoison);
    }

    TestSupport::ScopedTestKey m_machine{"adapter-settings"};
};

void ExpectClosed(const CAdapterSettings& store) {
    EXPECT_EQ(store.GetServiceName(), nullptr);
    EXPECT_EQ(store.GetDhcpStart(), 0u);
    EXPECT_EQ(store.GetEnableDhcp(), 0u);
    EXPECT_EQ(store.GetIPAddress(), nullptr);
    EXPECT_EQ(store.GetSubnetMask(), nullptr);
    EXPECT_EQ(store.GetDefaultGateway(), nullptr);
    EXPECT_EQ(store.GetHostName(), nullptr);
    EXPECT_EQ(store.GetComputerName(), nullptr);
    EXPECT_EQ(store.GetMachineName(), nullptr);
}

// On a closed store every writer fails; none may write (checked by the caller).
void ExpectEveryWriterFails(CAdapterSettings& store) {
    EXPECT_FALSE(store.SetIPAddress("10.0.0.1"));
    EXPECT_FALSE(store.SetSubnetMask("255.0.0.0"));
    EXPECT_FALSE(store.SetDefaultGateway("10.0.0.254"));
    EXPECT_FALSE(store.SetNameServer("10.0.0.2,10.0.0.3"));
    EXPECT_FALSE(store.DisableDhcp());
    EXPECT_FALSE(store.SetAdapterIPAddress("10.0.0.1"));
    EXPECT_FALSE(store.SetAdapterSubnetMask("255.0.0.0"));
    EXPECT_FALSE(store.SetAdapterEnableDhcp(1));
    EXPECT_FALSE(store.SetDhcpStart(4));
    EXPECT_FALSE(store.SetHostName("other-host"));
    EXPECT_FALSE(store.SetComputerName("OTHER-PC"));
    ExpectClosed(store);
}

TEST_F(AdapterSettingsTest, MachineRootIsRedirectedToTheScratchKey) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDhcp.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", 0,
                            KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(AdapterSettingsTest, OpenLoadsEveryValueAndCloseReleasesThem) {
    CAdapterSettings store;
    ExpectClosed(store);
    store.Close();  // harmless on a new store
    ASSERT_TRUE(store.Open(Card()));
    EXPECT_STREQ(store.GetServiceName(), kService.c_str());
    EXPECT_EQ(store.GetDhcpStart(), 2u);
    EXPECT_EQ(store.GetEnableDhcp(), 1u);
    EXPECT_STREQ(store.GetIPAddress(), "10.1.2.3");
    EXPECT_STREQ(store.GetIPAddress() + 9, "10.1.2.4");  // the raw list is kept
    EXPECT_STREQ(store.GetSubnetMask(), "255.255.0.0");
    EXPECT_STREQ(store.GetDefaultGateway(), "10.1.0.1");
    EXPECT_STREQ(store.GetHostName(), "tarvelo-host");
    EXPECT_STREQ(store.GetComputerName(), "TARVELO-PC");
    EXPECT_EQ(store.GetMachineName(), nullptr);

    store.Close();
    store.Close();
    PoisonWrittenValues();
    ExpectEveryWriterFails(store);
    ExpectPoisonKept();
}

// Today's Windows keep the settings in the interface key only: it is read and written
// in the adapter key's place, once, and no adapter key is made.
TEST_F(AdapterSettingsTest, InterfaceKeyStandsInForAMissingAdapterKey) {
    Delete(kServices + kService);
    Write(InterfacePath(), "EnableDHCP", DwordValue(1));
    Write(InterfacePath(), "SubnetMask", MultiStringValue({"255.255.255.0"}));
    Write(InterfacePath(), "DefaultGateway", MultiStringValue({"10.9.9.254"}));
    CAdapterSettings store;
    ASSERT_TRUE(store.Open(Card()));
    EXPECT_EQ(store.GetEnableDhcp(), 1u);
    EXPECT_STREQ(store.GetIPAddress(), "10.9.9.9");
    EXPECT_STREQ(store.GetSubnetMask(), "255.255.255.0");
    EXPECT_STREQ(store.GetDefaultGateway(), "10.9.9.254");
    EXPECT_STREQ(store.GetComputerName(), "TARVELO-PC");

    EXPECT_TRUE(store.SetIPAddress("192.168.5.20"));
    EXPECT_TRUE(store.SetDefaultGateway("192.168.5.254"));
    EXPECT_TRUE(store.DisableDhcp());
    EXPECT_STREQ(store.GetIPAddress(), "192.168.5.20");
    EXPECT_STREQ(store.GetDefaultGateway(), "192.168.5.254");
    EXPECT_EQ(Read(InterfacePath(), "IPAddress"), OneEntry(REG_MULTI_SZ, "192.168.5.20"));
    EXPECT_EQ(Read(InterfacePath(), "DefaultGateway"), OneEntry(REG_MULTI_SZ, "192.168.5.254"));
    EXPECT_EQ(Read(InterfacePath(), "EnableDHCP"), DwordValue(0));
    EXPECT_FALSE(TestSupport::KeyExists(m_machine.Root(), m_machine.Sub(kServices + kService)));
}

TEST_F(AdapterSettingsTest, OpenWithAMachineName) {
    CAdapterSettings store;
    ASSERT_TRUE(store.Open(Card(), ""));  // an empty name connects to this computer
    ASSERT_NE(store.GetMachineName(), nullptr);
    EXPECT_STREQ(store.GetMachineName(), "");
    EXPECT_STREQ(store.GetIPAddress(), "10.1.2.3");

    // This computer by name, then again with the store's own copy of the name. The
    // platform looks its own name up under the redirected root too.
    Write("SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ActiveComputerName", "ComputerName",
          StringValue("TARVELO-PC"));
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = sizeof name;
    ASSERT_TRUE(GetComputerNameA(name, &length));
    const std::string own = std::string("\\\\") + name;
    ASSERT_TRUE(store.Open(Card(), own.c_str()));
    ASSERT_TRUE(store.Open(Card(), store.GetMachineName()));
    EXPECT_STREQ(store.GetMachineName(), own.c_str());
    EXPECT_STREQ(store.GetHostName(), "tarvelo-host");

    // An unreachable computer fails at the first key: false, closed.
    EXPECT_FALSE(store.Open(Card(), "\\\\NO-SUCH-HOST-7"));
    ExpectClosed(store);
}

TEST_F(AdapterSettingsTest, RegistryErrorBeforeStartIsReadGivesFalseAndClosed) {
    CAdapterSettings store;
    Write(kDhcp, "Start", BytesValue(REG_DWORD, std::string(8, '\1')));  // not four bytes
    EXPECT_FALSE(store.Open(Card()));
    ExpectClosed(store);

    PoisonWrittenValues();
    Delete(kDhcp);
    EXPECT_FALSE(store.Open(Card()));
    ExpectEveryWriterFails(store);
    ExpectPoisonKept(false);
}

// A registry error at any step closes the store and fails: the adapter's keys missing
// (Windows 10 has no per-service key, so a missing interface key leaves nothing), a
// number or text that cannot be read, a key that refuses full access.
TEST_F(AdapterSettingsTest, RegistryErrorAfterStartIsReadGivesFalseAndClosed) {
    const std::vector<std::function<void()>> breakers = {
        [&] {  // neither adapter key: the interface key cannot stand in
            Delete(AdapterPath());
            Delete(InterfacePath());
        },
        [&] { Delete(InterfacePath()); },
        [&] { DeleteValue(AdapterPath(), "EnableDHCP"); },
        [&] {
            // The parameters key is the interface key's parent, so it cannot go; it
            // refuses full access instead, while the interface key still opens.
            DenyFullAccess(kParameters);
            HKEY key = nullptr;
            ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, InterfacePath().c_str(), 0, KEY_ALL_ACCESS, &key),
                      ERROR_SUCCESS);
            RegCloseKey(key);
        },
        [&] { DeleteValue(kParameters, "HostName"); },
        [&] { Delete(kComputer); },
        [&] { DeleteValue(kComputer, "ComputerName"); },
    };
    for (size_t row = 0; row < breakers.size(); ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        Seed();
        breakers[row]();
        CAdapterSettings store;
        EXPECT_FALSE(store.Open(Card()));
        ExpectClosed(store);
        EXPECT_FALSE(store.SetIPAddress("10.0.0.1"));
    }
}

// A service name the ANSI key paths cannot spell, or none at all, opens nothing of the
// adapter: false, with only the DHCP service's Start loaded.
TEST_F(AdapterSettingsTest, ServiceNameThatCannotNameAKeyFails) {
    AdapterInventory::Adapter foreign = Card();
    foreign.serviceName = L"Adapter\u00E9";  // not in code page 950
    for (const AdapterInventory::Adapter& adapter : {foreign, Card("")}) {
        CAdapterSettings store;
        EXPECT_FALSE(store.Open(adapter));
        EXPECT_EQ(store.GetServiceName(), nullptr);
        EXPECT_EQ(store.GetDhcpStart(), 2u);
        EXPECT_FALSE(store.SetIPAddress("10.0.0.1"));
    }
}

// An interface on DHCP (Windows 8 and later) has no address lists at all: they load as
// empty lists, and the writers then put the static ones in place.
TEST_F(AdapterSettingsTest, MissingListsReadAsEmpty) {
    Delete(kServices + kService);
    Delete(InterfacePath());
    Write(InterfacePath(), "EnableDHCP", DwordValue(1));
    Write(InterfacePath(), "DhcpIPAddress", StringValue("10.9.9.9"));
    CAdapterSettings store;
    ASSERT_TRUE(store.Open(Card()));
    for (const char* list : {store.GetIPAddress(), store.GetSubnetMask(), store.GetDefaultGateway()}) {
        ASSERT_NE(list, nullptr);
        EXPECT_STREQ(list, "");
    }
    EXPECT_TRUE(store.SetIPAddress("192.168.5.20"));
    EXPECT_TRUE(store.SetSubnetMask("255.255.255.0"));
    EXPECT_EQ(Read(InterfacePath(), "IPAddress"), OneEntry(REG_MULTI_SZ, "192.168.5.20"));
    EXPECT_EQ(Read(InterfacePath(), "SubnetMask"), OneEntry(REG_MULTI_SZ, "255.255.255.0"));
}

// A value of the wrong type: false, and what loaded before it stays held.
TEST_F(AdapterSettingsTest, WrongTypeLeavesThePartBeforeItLoaded) {
    CAdapterSettings store;
    Write(kDhcp, "Start", StringValue("2"));
    EXPECT_FALSE(store.Open(Card()));
    ExpectClosed(store);
    // The DHCP key stays open: SetDhcpStart still writes.
    EXPECT_TRUE(store.SetDhcpStart(4));
    EXPECT_EQ(store.GetDhcpStart(), 4u);
    EXPECT_EQ(Read(kDhcp, "Start"), DwordValue(4));

    Seed();
    Write(AdapterPath(), "EnableDHCP", StringValue("1"));
    EXPECT_FALSE(store.Open(Card()));
    EXPECT_STREQ(store.GetServiceName(), kService.c_str());
    EXPECT_EQ(store.GetEnableDhcp(), 0u);
    EXPECT_EQ(store.GetIPAddress(), nullptr);

    Seed();
    Write(AdapterPath(), "IPAddress", StringValue("10.1.2.3"));
    EXPECT_FALSE(store.Open(Card()));
    EXPECT_STREQ(store.GetServiceName(), kService.c_str());
    EXPECT_EQ(store.GetDhcpStart(), 2u);
    EXPECT_EQ(store.GetEnableDhcp(), 1u);
    EXPECT_EQ(store.GetIPAddress(), nullptr);
    EXPECT_EQ(store.GetSubnetMask(), nullptr);
    // All four keys opened so far are held.
    EXPECT_TRUE(store.SetIPAddress("10.7.7.7"));
    EXPECT_EQ(Read(AdapterPath(), "IPAddress"), OneEntry(REG_MULTI_SZ, "10.7.7.7"));
    EXPECT_EQ(Read(InterfacePath(), "IPAddress"), OneEntry(REG_MULTI_SZ, "10.7.7.7"));
    EXPECT_FALSE(store.SetHostName("other-host"));  // the parameters key was not reached

    Seed();
    Write(kComputer, "ComputerName", DwordValue(1));
    EXPECT_FALSE(store.Open(Card()));
    EXPECT_STREQ(store.GetHostName(), "tarvelo-host");
    EXPECT_EQ(store.GetComputerName(), nullptr);
}

TEST_F(AdapterSettingsTest, ListsUpTo512BytesLoad) {
    CAdapterSettings store;
    const std::string longest(510, 'a');  // 510 + two zeros = 512 bytes
    Write(AdapterPath(), "IPAddress", MultiStringValue({longest}));
    ASSERT_TRUE(store.Open(Card()));
    EXPECT_STREQ(store.GetIPAddress(), longest.c_str());

    // Each list read is offered the whole capacity, whatever the others held.
    Write(AdapterPath(), "IPAddress", MultiStringValue({"1.2.3.4"}));
    Write(InterfacePath(), "IPAddress", MultiStringValue({std::string(300, '9'), "1.2.3.4"}));
    EXPECT_TRUE(store.Open(Card()));
    EXPECT_STREQ(store.GetIPAddress(), "1.2.3.4");

    // Stored without its closing zeros, a full-size list still reads as one terminated text.
    WriteUnterminated(AdapterPath(), "DefaultGateway", std::string(512, 'g'));
    ASSERT_EQ(Read(AdapterPath(), "DefaultGateway"), BytesValue(REG_MULTI_SZ, std::string(512, 'g')));
    ASSERT_TRUE(store.Open(Card()));
    const char* gateway = store.GetDefaultGateway();
    ASSERT_NE(gateway, nullptr);
    // The terminating zero must lie inside the store's own block (texts live on the
    // malloc heap), not in whatever memory happens to follow it.
    ASSERT_GT(_msize(const_cast<char*>(gateway)), 512u);
    EXPECT_EQ(gateway[512], '\0');
    EXPECT_EQ(std::string(gateway), std::string(512, 'g'));
}

// A list over 512 bytes or of another type: false, that list null, the ones before it
// held.
TEST_F(AdapterSettingsTest, ListThatCannotLoadLeavesItsBufferNull) {
    CAdapterSettings store;
    Write(AdapterPath(), "SubnetMask", MultiStringValue({std::string(511, 'm')}));  // 513 bytes
    EXPECT_FALSE(store.Open(Card()));
    EXPECT_STREQ(store.GetIPAddress(), "10.1.2.3");
    EXPECT_EQ(store.GetSubnetMask(), nullptr);
    EXPECT_EQ(store.GetDefaultGateway(), nullptr);

    Seed();
    Write(InterfacePath(), "IPAddress", MultiStringValue({std::string(511, 'i')}));
    EXPECT_FALSE(store.Open(Card()));
    EXPECT_STREQ(store.GetIPAddress(), "10.1.2.3");
    EXPECT_EQ(store.GetSubnetMask(), nullptr);

    Seed();
    Write(AdapterPath(), "DefaultGateway", BytesValue(REG_BINARY, std::string("10.1.0.1\0\0", 10)));
    EXPECT_FALSE(store.Open(Card()));
    EXPECT_EQ(store.GetDefaultGateway(), nullptr);
}

TEST_F(AdapterSettingsTest, SecondOpenStartsFromClosed) {
    CAdapterSettings store;
    ASSERT_TRUE(store.Open(Card(), ""));
    EXPECT_FALSE(store.Open(Card("")));
    EXPECT_EQ(store.GetServiceName(), nullptr);
    EXPECT_EQ(store.GetIPAddress(), nullptr);
    EXPECT_EQ(store.GetHostName(), nullptr);
    EXPECT_EQ(store.GetMachineName(), nullptr);
    EXPECT_EQ(store.GetDhcpStart(), 2u);
}

// The interface key path is the longer one: 62 characters before the service name.
// Seeded through the redirected machine root, since the ANSI registry calls take
// paths of up to 260 characters and the scratch key's own path would not fit.
TEST_F(AdapterSettingsTest, ServiceNameMustFitTheKeyPaths) {
    const auto writeMachine = [](const std::string& path, const char* name, const RawValue& value) {
        TestSupport::WriteRawValue(HKEY_LOCAL_MACHINE, path, name, value);
    };
    CAdapterSettings store;
    const std::string fits(260 - InterfacePath("").size(), 's');
    ASSERT_EQ(InterfacePath(fits).size(), 260u);
    writeMachine(AdapterPath(fits), "EnableDHCP", DwordValue(1));
    writeMachine(AdapterPath(fits), "IPAddress", MultiStringValue({"10.5.5.5"}));
    writeMachine(AdapterPath(fits), "SubnetMask", MultiStringValue({"255.0.0.0"}));
    writeMachine(AdapterPath(fits), "DefaultGateway", MultiStringValue({"10.0.0.1"}));
    writeMachine(InterfacePath(fits), "IPAddress", MultiStringValue({"10.5.5.5"}));
    EXPECT_TRUE(store.Open(Card(fits)));
    EXPECT_STREQ(store.GetServiceName(), fits.c_str());
    EXPECT_STREQ(store.GetIPAddress(), "10.5.5.5");

    const std::string tooLong = fits + "s";
    writeMachine(AdapterPath(tooLong), "IPAddress", kPoison);
    EXPECT_FALSE(store.Open(Card(tooLong)));
    EXPECT_STREQ(store.GetServiceName(), tooLong.c_str());
    EXPECT_EQ(store.GetDhcpStart(), 2u);
    EXPECT_EQ(store.GetEnableDhcp(), 0u);
    EXPECT_FALSE(store.SetAdapterIPAddress("10.0.0.1"));  // no adapter key was opened
    EXPECT_EQ(TestSupport::ReadRawValue(HKEY_LOCAL_MACHINE, AdapterPath(tooLong), "IPAddress"), kPoison);
}

class AdapterSettingsWriteTest : public AdapterSettingsTest {
protected:
    void SetUp() override {
        AdapterSettingsTest::SetUp();
        ASSERT_TRUE(m_store.Open(Card()));
    }
    CAdapterSettings m_store;
};

TEST_F(AdapterSettingsWriteTest, TwoKeyListWritersWriteOneEntryListsToBothKeys) {
    ASSERT_TRUE(m_store.SetIPAddress("192.168.5.20"));
    ASSERT_TRUE(m_store.SetSubnetMask("255.255.255.0"));
    ASSERT_TRUE(m_store.SetDefaultGateway("192.168.5.254"));
    for (const std::string& path : {AdapterPath(), InterfacePath()}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(Read(path, "IPAddress"), OneEntry(REG_MULTI_SZ, "192.168.5.20"));
        EXPECT_EQ(Read(path, "SubnetMask"), OneEntry(REG_MULTI_SZ, "255.255.255.0"));
        EXPECT_EQ(Read(path, "DefaultGateway"), OneEntry(REG_MULTI_SZ, "192.168.5.254"));
    }
    EXPECT_STREQ(m_store.GetIPAddress(), "192.168.5.20");
    EXPECT_STREQ(m_store.GetSubnetMask(), "255.255.255.0");
    EXPECT_STREQ(m_store.GetDefaultGateway(), "192.168.5.254");

    // A comma or blank stays inside the one entry.
    ASSERT_TRUE(m_store.SetIPAddress("10.0.0.1, 10.0.0.2"));
    EXPECT_EQ(Read(InterfacePath(), "IPAddress"), OneEntry(REG_MULTI_SZ, "10.0.0.1, 10.0.0.2"));
}

TEST_F(AdapterSettingsWriteTest, NameServerIsTextWithTwoZerosInBothKeys) {
    Write(InterfacePath(), "NameServer", MultiStringValue({"old"}));  // any earlier type is replaced
    ASSERT_TRUE(m_store.SetNameServer("168.95.1.1,168.95.192.1"));
    EXPECT_EQ(Read(AdapterPath(), "NameServer"), OneEntry(REG_SZ, "168.95.1.1,168.95.192.1"));
    EXPECT_EQ(Read(InterfacePath(), "NameServer"), OneEntry(REG_SZ, "168.95.1.1,168.95.192.1"));
    EXPECT_STREQ(m_store.GetSubnetMask(), "255.255.0.0");
}

TEST_F(AdapterSettingsWriteTest, DhcpWriters) {
    ASSERT_TRUE(m_store.DisableDhcp());
    EXPECT_EQ(Read(AdapterPath(), "EnableDHCP"), DwordValue(0));
    EXPECT_EQ(Read(InterfacePath(), "EnableDHCP"), DwordValue(0));
    EXPECT_EQ(m_store.GetEnableDhcp(), 1u);  // keeps the loaded value

    ASSERT_TRUE(m_store.SetAdapterEnableDhcp(0x01020304));
    EXPECT_EQ(Read(AdapterPath(), "EnableDHCP"), DwordValue(0x01020304));
    EXPECT_EQ(Read(InterfacePath(), "EnableDHCP"), DwordValue(0));
    EXPECT_EQ(m_store.GetEnableDhcp(), 0x01020304u);

    ASSERT_TRUE(m_store.SetDhcpStart(3));
    EXPECT_EQ(Read(kDhcp, "Start"), DwordValue(3));
    EXPECT_EQ(m_store.GetDhcpStart(), 3u);
}

TEST_F(AdapterSettingsWriteTest, AdapterOnlyListWritersLeaveTheInterfaceKeyAlone) {
    PoisonWrittenValues();
    ASSERT_TRUE(m_store.SetAdapterIPAddress("172.16.0.9"));
    ASSERT_TRUE(m_store.SetAdapterSubnetMask("255.255.240.0"));
    EXPECT_EQ(Read(AdapterPath(), "IPAddress"), OneEntry(REG_MULTI_SZ, "172.16.0.9"));
    EXPECT_EQ(Read(AdapterPath(), "SubnetMask"), OneEntry(REG_MULTI_SZ, "255.255.240.0"));
    EXPECT_EQ(Read(InterfacePath(), "IPAddress"), kPoison);
    EXPECT_EQ(Read(InterfacePath(), "SubnetMask"), kPoison);
    EXPECT_STREQ(m_store.GetIPAddress(), "172.16.0.9");
    EXPECT_STREQ(m_store.GetSubnetMask(), "255.255.240.0");
}

TEST_F(AdapterSettingsWriteTest, TextWriters) {
    ASSERT_TRUE(m_store.SetHostName("new-host"));
    ASSERT_TRUE(m_store.SetComputerName("NEW-PC"));
    EXPECT_EQ(Read(kParameters, "HostName"), StringValue("new-host"));
    EXPECT_EQ(Read(kComputer, "ComputerName"), StringValue("NEW-PC"));
    EXPECT_STREQ(m_store.GetHostName(), "new-host");
    EXPECT_STREQ(m_store.GetComputerName(), "NEW-PC");

    // Null text: false, nothing written, the cached copy kept.
    PoisonWrittenValues();
    EXPECT_FALSE(m_store.SetHostName(nullptr));
    EXPECT_FALSE(m_store.SetComputerName(nullptr));
    EXPECT_FALSE(m_store.SetIPAddress(nullptr));
    EXPECT_FALSE(m_store.SetNameServer(nullptr));
    EXPECT_FALSE(m_store.SetAdapterSubnetMask(nullptr));
    ExpectPoisonKept();
    EXPECT_STREQ(m_store.GetHostName(), "new-host");
    EXPECT_STREQ(m_store.GetComputerName(), "NEW-PC");
    EXPECT_STREQ(m_store.GetIPAddress(), "10.1.2.3");
}

// A key deleted after Open refuses every write through the store's open handle
// (ERROR_KEY_DELETED). Key security cannot stand in here: it is checked when a key is
// opened, and the store opens every key with full access.
TEST_F(AdapterSettingsWriteTest, RefusedAdapterWriteShowsOnlyInItsCachedCopy) {
    Delete(AdapterPath());
    EXPECT_TRUE(m_store.SetSubnetMask("255.255.255.0"));
    EXPECT_EQ(m_store.GetSubnetMask(), nullptr);
    EXPECT_EQ(Read(InterfacePath(), "SubnetMask"), OneEntry(REG_MULTI_SZ, "255.255.255.0"));
    EXPECT_TRUE(m_store.SetIPAddress("10.3.3.3"));
    EXPECT_EQ(m_store.GetIPAddress(), nullptr);
    EXPECT_TRUE(m_store.SetDefaultGateway("10.3.3.254"));  // the one copy follows the interface key
    EXPECT_STREQ(m_store.GetDefaultGateway(), "10.3.3.254");
    EXPECT_TRUE(m_store.DisableDhcp());

    EXPECT_FALSE(m_store.SetAdapterIPAddress("10.4.4.4"));
    EXPECT_EQ(m_store.GetIPAddress(), nullptr);
    EXPECT_FALSE(m_store.SetAdapterEnableDhcp(5));
    EXPECT_EQ(m_store.GetEnableDhcp(), 1u);
}

TEST_F(AdapterSettingsWriteTest, RefusedInterfaceWriteDecidesTheResult) {
    Delete(InterfacePath());
    EXPECT_FALSE(m_store.SetIPAddress("10.3.3.3"));
    EXPECT_STREQ(m_store.GetIPAddress(), "10.3.3.3");
    EXPECT_EQ(Read(AdapterPath(), "IPAddress"), OneEntry(REG_MULTI_SZ, "10.3.3.3"));
    EXPECT_FALSE(m_store.SetDefaultGateway("10.3.3.254"));
    EXPECT_EQ(m_store.GetDefaultGateway(), nullptr);
    EXPECT_EQ(Read(AdapterPath(), "DefaultGateway"), OneEntry(REG_MULTI_SZ, "10.3.3.254"));
    EXPECT_FALSE(m_store.SetNameServer("10.0.0.2"));
    EXPECT_FALSE(m_store.DisableDhcp());
    EXPECT_EQ(Read(AdapterPath(), "EnableDHCP"), DwordValue(0));
}

TEST_F(AdapterSettingsWriteTest, RefusedSingleKeyWritersKeepOrDropTheirCopies) {
    Delete(kParameters);  // the interface key below it goes too
    Delete(kDhcp);
    EXPECT_FALSE(m_store.SetHostName("new-host"));
    EXPECT_EQ(m_store.GetHostName(), nullptr);
    EXPECT_FALSE(m_store.SetDhcpStart(4));
    EXPECT_EQ(m_store.GetDhcpStart(), 2u);
    EXPECT_STREQ(m_store.GetComputerName(), "TARVELO-PC");
}

}  // namespace
