// Registry state for the end-to-end tests and benchmarks: snapshots of key trees
// under HKEY_LOCAL_MACHINE, their restoration, and a seeded machine of network cards
// with each adapter's TCP/IP and NetBT keys.
#pragma once
#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "test_support/RegistryFixture.h"

namespace TestSupport {

extern const char kNetworkCards[];
extern const char kServices[];         // ends in a backslash
extern const char kTcpipParameters[];  // step 3 key
extern const char kNetbt[];
extern const char kDhcpService[];
extern const char kComputerName[];
extern const char kNetworkConnections[];  // the network class key; ends in a backslash
extern const char kNetClass[];            // the adapters' class entries; ends in a backslash

// Paths of the five keys the tool writes for a service name, in step order.
std::string AdapterTcpipKey(const std::string& service);
std::string InterfaceKey(const std::string& service);
std::string NetbtInterfaceKey(const std::string& service);
std::string NetbtAdapterKey(const std::string& service);
// The key of the service's connection, whose "Name" the network shell knows it by.
std::string ConnectionKey(const std::string& service);
// An adapter's class entry by its four digits ("0001").
std::string ClassEntryKey(const std::string& entry);

// Every key and value below some roots of HKEY_LOCAL_MACHINE, flattened: key paths,
// and "key path|value name" to the value, both in lower case since the registry
// compares names without regard to case; spelling keeps the names as they were.
struct Snapshot {
    std::set<std::string> keys;
    std::map<std::string, TestSupport::RawValue> values;
    std::map<std::string, std::string> spelling;
};

// Lower-case form of a path or name, as snapshots key them.
std::string Lower(std::string text);

// Adds the tree at path (if it exists) to the snapshot.
void CaptureTree(const std::string& path, Snapshot* snapshot);

// Snapshot of several trees.
Snapshot CaptureTrees(const std::vector<std::string>& paths);

// What differs from the expected snapshot, one line each (keys created or removed,
// values missing, changed or unexpected); empty when they agree.
std::vector<std::string> SnapshotDifferences(const Snapshot& expected, const Snapshot& actual);

// Puts back the trees of the given roots exactly as captured (removing roots that did
// not exist). Returns false when a key or value could not be written.
bool RestoreTrees(const std::vector<std::string>& roots, const Snapshot& snapshot);

// Writes one value, creating its key; false on failure.
bool PutValue(const std::string& path, const std::string& name, const TestSupport::RawValue& value);

// Removes a key tree; a missing key is fine.
void RemoveTree(const std::string& path);

// How an adapter's keys are laid out.
enum class Layout {
    // Both adapter keys (per-service and interface), NetBT's interface and adapter keys,
    // the address values present even on DHCP; no class entry.
    Classic,
    // As Windows 10 keeps them: no Services\<service> key, interface keys named with the
    // GUID in lower case, no NetBT adapter key, a DHCP interface with only its Dhcp*
    // values, a class entry with Characteristics and *PhysicalMediaType.
    Windows10,
};

// One seeded network card: its subkey, description and service name, and the old
// settings found in its keys before a run.
struct SeedAdapter {
    std::string subkey;  // NetworkCards subkey; empty: the adapter has none (hidden ones)
    std::string description;
    std::string service;
    std::string oldAddress;         // "10.0.N.5"-like; mask, gateway and servers derive from it
    bool dhcpEnabled = false;       // "EnableDHCP" in both adapter keys
    std::wstring connectionName{};  // written as the connection's "Name" unless empty
    Layout layout = Layout::Classic;
    std::string classEntry{};  // "0001"; Windows10 layout only
    DWORD characteristics = 0;
    DWORD mediaType = 0;  // *PhysicalMediaType; 0: none written
};

// The realistic two-adapter machine the tests start from.
std::vector<SeedAdapter> TwoAdapterMachine();

// Replaces the NetworkCards subkeys with the given cards and writes every adapter's
// five keys with its old settings (the global TCP/IP "NameServer" included).
bool SeedMachine(const std::vector<SeedAdapter>& adapters);

// A laptop as Windows 10 lays it out, every adapter on DHCP: NetworkCards 2 wired
// (乙太網路), 3 Wi-Fi (Wi-Fi), 15 Bluetooth network (藍牙網路連線), no 1; and the
// kernel debugger's hidden adapter (Characteristics 0x9, wired medium) with a class
// entry and interface keys but no NetworkCards entry. Entries in that order.
std::vector<SeedAdapter> Windows10Machine();

// The two-adapter machine as the wizard finds it: network cards "1" and "2" (so the
// tool's adapter numbers and the card subkeys agree).
std::vector<SeedAdapter> WizardMachine();

// Seeds the cards like SeedMachine, plus what the wizard's store reads besides them:
// the DHCP service's Start, the host name and the computer name.
bool SeedWizardMachine(const std::vector<SeedAdapter>& adapters);

// The trees that seeding and a wizard run may change, for snapshots.
std::vector<std::string> WizardMachineRoots(const std::vector<SeedAdapter>& adapters);

// The interface key's spelling of the service: lower case on Windows 10.
std::string InterfaceName(const SeedAdapter& adapter);

// Trees the tool and the wizard may change for these adapters: NetworkCards, the
// TCP/IP and NetBT trees, each adapter's service, connection and class entry keys.
std::vector<std::string> AdapterRoots(const std::vector<SeedAdapter>& adapters);

// Service names in the registry's enumeration order of the NetworkCards subkeys.
std::vector<std::string> EnumeratedServices();

}  // namespace TestSupport
