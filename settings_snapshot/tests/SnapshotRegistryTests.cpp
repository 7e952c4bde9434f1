// Capture and apply against Wine's registry: the written file imported by Wine's own
// reg.exe, and by our reader and apply, gives back every value byte for byte; a key we
// may not write stops apply before any change.
#include <gtest/gtest.h>

#include <fstream>

#include "settings_snapshot/AdapterAllowList.h"
#include "settings_snapshot/AdapterKeys.h"
#include "settings_snapshot/BackupFolder.h"
#include "settings_snapshot/RegFileFormat.h"
#include "settings_snapshot/RegFileParser.h"
#include "settings_snapshot/RegistryCapture.h"
#include "settings_snapshot/SnapshotApply.h"
#include "settings_snapshot/SnapshotFile.h"
#include "settings_snapshot/SnapshotRestore.h"
#include "settings_snapshot/SnapshotSave.h"
#include "settings_snapshot/UndoableRestore.h"
#include "test_support/Process.h"
#include "test_support/RegistryFixture.h"
#include "AnyValueBelow.h"

using namespace SettingsSnapshot;
using TestSupport::RawValue;

namespace {

std::wstring Wide(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}
std::string Narrow(const std::wstring& ascii) {
    return std::string(ascii.begin(), ascii.end());
}

RawValue Utf16(DWORD type, const std::wstring& text) {
    RawValue value{type, {}};
    for (const wchar_t c : text)
        value.data.insert(value.data.end(), {static_cast<BYTE>(c), static_cast<BYTE>(c >> 8)});
    return value;
}

class SnapshotRegistry : public ::testing::Test {
protected:
    SnapshotRegistry() {
        for (const auto& [key, name, value] : m_seeded)
            TestSupport::WriteStoredValue(HKEY_LOCAL_MACHINE, key, name, value);
    }
    // Every seeded value changed, and the ones that were absent written.
    void ChangeEverything() const {
        for (const auto& [key, name, value] : m_seeded)
            TestSupport::WriteStoredValue(HKEY_LOCAL_MACHINE, key, name, kPoison);
        TestSupport::WriteStoredValue(HKEY_LOCAL_MACHINE, m_adapter, "Absent", kPoison);
        TestSupport::WriteStoredValue(HKEY_LOCAL_MACHINE, m_interface, "Added", kPoison);
    }
    // Wine's reg.exe adds a terminating zero to string data that has none.
    void ExpectSeeded(bool exceptUnterminated = false) const {
        for (const auto& [key, name, value] : m_seeded) {
            if (exceptUnterminated && (name == "Odd" || name == "Unterminated")) continue;
            EXPECT_EQ(TestSupport::ReadStoredValue(HKEY_LOCAL_MACHINE, key, name), value)
                << key << "\\" << name;
        }
        EXPECT_EQ(TestSupport::ReadStoredValue(HKEY_LOCAL_MACHINE, m_adapter, "Absent"), std::nullopt);
        EXPECT_EQ(TestSupport::ReadStoredValue(HKEY_LOCAL_MACHINE, m_interface, "Added"), std::nullopt);
    }
    std::vector<KeyRequest> Requests() const {
        return {{Wide(m_adapter),
                 {L"", L"IPAddress", L"Odd", L"Unterminated", L"Chinese", L"EnableDHCP", L"Short", L"Blob",
                  L"Long", L"Path", L"Q\"uo\\te", L"None", L"Quoted", L"Absent"}},
                {Wide(m_interface), {L"NameServer", L"Added"}},
                {Wide(m_machine.Sub("INTERFACE")), {L"nameserver"}},  // once is enough
                {Wide(m_machine.Sub("Missing")), {L"NameServer"}}};
    }

    const RawValue kPoison = TestSupport::StringValue("poison");
    TestSupport::ScopedTestKey m_machine{"snapshot", HKEY_LOCAL_MACHINE};
    const std::string m_adapter = m_machine.Sub("Adapter");
    const std::string m_interface = m_machine.Sub("Interface");
    const std::vector<std::tuple<std::string, std::string, RawValue>> m_seeded{
        {m_adapter, "", Utf16(REG_SZ, std::wstring(L"default\0", 8))},
        {m_adapter, "IPAddress", Utf16(REG_MULTI_SZ, std::wstring(L"10.0.1.5\0\0", 10))},
        {m_adapter, "Odd", TestSupport::BytesValue(REG_SZ, std::string("a\0b\0c", 5))},
        {m_adapter, "Unterminated", Utf16(REG_SZ, L"ab")},
        {m_adapter, "Chinese", Utf16(REG_SZ, std::wstring(L"\x65B0\x7DB2\0\0", 4))},
        {m_adapter, "EnableDHCP", TestSupport::DwordValue(0)},
        {m_adapter, "Short", TestSupport::BytesValue(REG_DWORD, std::string("\x01\x00\x02", 3))},
        {m_adapter, "Blob", TestSupport::BytesValue(REG_BINARY, std::string(200, '\xA5'))},
        {m_adapter, "Long",
         TestSupport::BytesValue(REG_BINARY, std::string(1500, '\x5A'))},  // past the first read
        {m_adapter, "Path", Utf16(REG_EXPAND_SZ, std::wstring(L"%SystemRoot%\\x\0", 15))},
        {m_adapter, "Q\"uo\\te",
         TestSupport::BytesValue(REG_QWORD, std::string("\x01\x02\x03\x04\x05\x06\x07\x08"))},
        {m_adapter, "None", TestSupport::BytesValue(REG_NONE, "")},
        // Written as a quoted string, escapes included.
        {m_adapter, "Quoted", Utf16(REG_SZ, std::wstring(L"a\"b\\c \x65B0\0", 8))},
        {m_interface, "NameServer", Utf16(REG_SZ, std::wstring(L"10.0.1.1,10.0.1.2\0", 18))},
    };
};

}  // namespace

TEST_F(SnapshotRegistry, WinesRegImportAndOurApplyPutBackEveryValueExactly) {
    const Outcome<Snapshot> captured = CaptureSnapshot(Requests());
    ASSERT_TRUE(captured) << Narrow(captured.Error().Describe());
    ASSERT_EQ(captured.Value().keys.size(), 2u);  // the missing key is left out
    EXPECT_EQ(captured.Value().keys[0].values.back(), SnapshotValue::Absent(L"Absent"));

    const std::vector<BYTE> bytes = EncodeRegFile(captured.Value());
    std::ofstream(TestSupport::ArtifactPath("snapshot-example.reg"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const Outcome<std::wstring> file =
        BackupFolder(std::wstring(temp) + L"snapshot-data").Save(L"snapshot-test", bytes);
    ASSERT_TRUE(file) << Narrow(file.Error().Describe());

    ChangeEverything();
    const TestSupport::ProcessResult imported =
        TestSupport::RunProcess("reg.exe import \"" + Narrow(file.Value()) + "\"");
    EXPECT_EQ(imported.exitCode, 0u) << imported.output << imported.errorOutput;
    ExpectSeeded(true);

    ChangeEverything();
    const Outcome<std::vector<BYTE>> read = ReadSnapshotFile(file.Value());
    DeleteFileW(file.Value().c_str());
    RemoveDirectoryW((std::wstring(temp) + L"snapshot-data\\Backups").c_str());
    RemoveDirectoryW((std::wstring(temp) + L"snapshot-data").c_str());
    ASSERT_TRUE(read);
    const Outcome<Snapshot> parsed = ParseRegFile(read.Value(), AnyValueBelow(Wide(m_machine.Sub("*"))));
    ASSERT_TRUE(parsed) << Narrow(parsed.Error().Describe());
    EXPECT_FALSE(ApplySnapshot(parsed.Value()));
    ExpectSeeded();
}

TEST_F(SnapshotRegistry, ApplyWritesNothingWhenAKeyCannotBeOpened) {
    const Outcome<Snapshot> captured = CaptureSnapshot(Requests());
    ASSERT_TRUE(captured);
    ChangeEverything();
    std::optional<Failure> locked;
    {
        const TestSupport::ScopedKeySecurity readOnly(HKEY_LOCAL_MACHINE, m_interface);
        locked = ApplySnapshot(captured.Value());
    }
    ASSERT_TRUE(locked);
    EXPECT_EQ(locked->subject, Wide(m_interface));
    EXPECT_EQ(locked->error, static_cast<DWORD>(ERROR_ACCESS_DENIED));

    Snapshot withMissingKey = captured.Value();
    withMissingKey.keys.push_back(
        {Wide(m_machine.Sub("Missing")), {SnapshotValue::Present(L"A", REG_BINARY, {})}});
    const std::optional<Failure> missing = ApplySnapshot(withMissingKey);
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    for (const auto& [key, name, value] : m_seeded)
        EXPECT_EQ(TestSupport::ReadStoredValue(HKEY_LOCAL_MACHINE, key, name), kPoison)
            << key << "\\" << name;
    EXPECT_EQ(TestSupport::ReadStoredValue(HKEY_LOCAL_MACHINE, m_adapter, "Absent"), kPoison);
}

TEST_F(SnapshotRegistry, AWriteFailingMidwayPutsBackWhatWasWrittenBefore) {
    ChangeEverything();
    // Sound values first, then one no registry can hold (a name past the limit).
    const Snapshot snapshot{
        {{Wide(m_adapter),
          {SnapshotValue::Present(L"IPAddress", REG_MULTI_SZ, {'1', 0, 0, 0, 0, 0}),
           SnapshotValue::Absent(L"Absent"), SnapshotValue::Present(L"Added", REG_DWORD, {1, 0, 0, 0})}},
         {Wide(m_interface),
          {SnapshotValue::Absent(L"NameServer"),
           SnapshotValue::Present(std::wstring(20000, L'n'), REG_SZ, {})}}}};
    const std::optional<Failure> failure = ApplySnapshot(snapshot);
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->reason.find(L"put back"), std::wstring::npos) << Narrow(failure->Describe());
    for (const auto& [key, name, value] : m_seeded)
        EXPECT_EQ(TestSupport::ReadStoredValue(HKEY_LOCAL_MACHINE, key, name), kPoison)
            << key << "\\" << name;
    EXPECT_EQ(TestSupport::ReadStoredValue(HKEY_LOCAL_MACHINE, m_adapter, "Absent"), kPoison);
    EXPECT_EQ(TestSupport::ReadStoredValue(HKEY_LOCAL_MACHINE, m_adapter, "Added"), std::nullopt);

    // A name the registry would cut at U+0000 is refused before anything is written.
    const Snapshot cut{
        {{Wide(m_adapter), {SnapshotValue::Present(std::wstring(L"IPAddress\0x", 11), REG_SZ, {})}}}};
    EXPECT_TRUE(ApplySnapshot(cut));
    EXPECT_EQ(TestSupport::ReadStoredValue(HKEY_LOCAL_MACHINE, m_adapter, "IPAddress"), kPoison);
}

namespace {

// The two adapter keys of a service that only this test uses, below the real Services key,
// and a backup folder of its own.
class SnapshotWorkflows : public ::testing::Test {
protected:
    SnapshotWorkflows() {
        TestSupport::WriteStoredValue(HKEY_LOCAL_MACHINE, m_adapter, "IPAddress", kAddress);
        TestSupport::WriteStoredValue(HKEY_LOCAL_MACHINE, m_interface, "IPAddress", kAddress);
        TestSupport::WriteStoredValue(HKEY_LOCAL_MACHINE, m_interface, "EnableDHCP",
                                      TestSupport::DwordValue(0));
    }
    ~SnapshotWorkflows() override {
        TestSupport::DeleteTree(HKEY_LOCAL_MACHINE,
                                "SYSTEM\\CurrentControlSet\\Services\\" + Narrow(kService));
        TestSupport::DeleteTree(HKEY_LOCAL_MACHINE, m_interface);
        TestSupport::DeleteTree(HKEY_LOCAL_MACHINE, m_netbt);
        TestSupport::RemoveFolderTree(Narrow(m_data));
    }
    std::vector<KeyRequest> Requests() const {
        return {{AdapterTcpipKey(kService), {L"IPAddress"}},
                {TcpipInterfaceKey(kService), {L"IPAddress", L"EnableDHCP", L"NameServer"}}};
    }
    void Poison() const {
        for (const std::string& key : {m_adapter, m_interface})
            for (const char* name : {"IPAddress", "EnableDHCP", "NameServer"})
                TestSupport::WriteStoredValue(HKEY_LOCAL_MACHINE, key, name, kPoison);
    }
    void ExpectPoisoned() const {
        for (const std::string& key : {m_adapter, m_interface})
            for (const char* name : {"IPAddress", "EnableDHCP", "NameServer"})
                EXPECT_EQ(TestSupport::ReadStoredValue(HKEY_LOCAL_MACHINE, key, name), kPoison)
                    << key << name;
    }
    static std::wstring TempFolder() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        return std::wstring(temp) + L"snapshot-workflows";
    }

    const std::wstring kService = L"{7A4E0C11-0000-4000-8000-00000000F10E}";
    const RawValue kAddress = Utf16(REG_MULTI_SZ, std::wstring(L"10.0.1.5\0\0", 10));
    const RawValue kPoison = TestSupport::StringValue("poison");
    const std::string m_adapter = Narrow(AdapterTcpipKey(kService));
    const std::string m_interface = Narrow(TcpipInterfaceKey(kService));
    const std::string m_netbt = Narrow(NetbtInterfaceKey(kService));
    const std::wstring m_data = TempFolder();
    const BackupFolder m_folder{m_data};
};

}  // namespace

TEST_F(SnapshotWorkflows, ASavedSnapshotHoldsWhatWasCapturedAndPutsItBack) {
    const Outcome<SavedSnapshot, SaveFailure> saved =
        SaveSnapshot(m_folder, Requests(), L"adapset-x", L"adapset-");
    ASSERT_TRUE(saved) << Narrow(saved.Error().cause.Describe());
    EXPECT_EQ(saved.Value().path, m_folder.List().Value().at(0).path);
    const Outcome<Snapshot> inFile =
        ParseRegFile(ReadSnapshotFile(saved.Value().path).Value(), AdapterAllowList({kService}));
    ASSERT_TRUE(inFile);
    EXPECT_EQ(inFile.Value(), saved.Value().snapshot);
    EXPECT_EQ(saved.Value().snapshot.keys.at(1).values.back(), SnapshotValue::Absent(L"NameServer"));

    Poison();
    const Outcome<RestoredSnapshot, RestoreFailure> restored =
        RestoreAdapterSnapshot(saved.Value().path, {kService});
    ASSERT_TRUE(restored) << Narrow(restored.Error().cause.Describe());
    EXPECT_EQ(restored.Value().adapters, std::vector<std::wstring>{kService});
    EXPECT_EQ(restored.Value().snapshot, saved.Value().snapshot);
    EXPECT_EQ(TestSupport::ReadStoredValue(HKEY_LOCAL_MACHINE, m_adapter, "IPAddress"), kAddress);
    EXPECT_EQ(TestSupport::ReadStoredValue(HKEY_LOCAL_MACHINE, m_interface, "IPAddress"), kAddress);
    EXPECT_EQ(TestSupport::ReadStoredValue(HKEY_LOCAL_MACHINE, m_interface, "EnableDHCP"),
              TestSupport::DwordValue(0));
    EXPECT_EQ(TestSupport::ReadStoredValue(HKEY_LOCAL_MACHINE, m_interface, "NameServer"), std::nullopt);
}

TEST_F(SnapshotWorkflows, EachWayASaveOrRestoreStopsNamesItsTargetOrStage) {
    {
        const TestSupport::ScopedKeySecurity unreadable(HKEY_LOCAL_MACHINE, m_interface, "D:P(A;;SDWD;;;WD)");
        const Outcome<SavedSnapshot, SaveFailure> refused =
            SaveSnapshot(m_folder, Requests(), L"adapset-x", L"adapset-");
        ASSERT_FALSE(refused);
        EXPECT_EQ(refused.Error().target, m_folder.Path());
        EXPECT_EQ(refused.Error().cause.subject, TcpipInterfaceKey(kService));
    }
    EXPECT_TRUE(m_folder.List().Value().empty());

    const std::wstring saved = SaveSnapshot(m_folder, Requests(), L"adapset-x", std::nullopt).Value().path;
    // A key of the adapter, but no adapter key: nothing to notify, nothing restored.
    const std::wstring noAdapter =
        m_folder
            .Save(L"adapset-y", EncodeRegFile(Snapshot{{{NetbtInterfaceKey(kService),
                                                         {SnapshotValue::Absent(L"NameServerList")}}}}))
            .Value();
    TestSupport::WriteStoredValue(HKEY_LOCAL_MACHINE, m_netbt, "NameServerList", kPoison);
    Poison();
    const struct {
        std::wstring path;
        std::vector<std::wstring> services;
        RestoreStage stage;
        const wchar_t* reason;
    } cases[] = {
        {m_folder.Path() + L"\\missing.reg", {kService}, RestoreStage::Read, L"cannot"},
        {saved, {L"{another}"}, RestoreStage::Content, L"is not one our snapshots hold"},
        {noAdapter, {kService}, RestoreStage::Content, L"names no adapter key"},
    };
    for (const auto& c : cases) {
        const Outcome<RestoredSnapshot, RestoreFailure> refused = RestoreAdapterSnapshot(c.path, c.services);
        ASSERT_FALSE(refused) << Narrow(c.path);
        EXPECT_EQ(refused.Error().stage, c.stage) << Narrow(refused.Error().cause.Describe());
        EXPECT_EQ(refused.Error().cause.subject, c.path);
        EXPECT_NE(refused.Error().cause.Describe().find(c.reason), std::wstring::npos)
            << Narrow(refused.Error().cause.Describe());
    }
    EXPECT_EQ(TestSupport::ReadStoredValue(HKEY_LOCAL_MACHINE, m_netbt, "NameServerList"), kPoison);
    {
        const TestSupport::ScopedKeySecurity readOnly(HKEY_LOCAL_MACHINE, m_interface);
        const Outcome<RestoredSnapshot, RestoreFailure> refused = RestoreAdapterSnapshot(saved, {kService});
        ASSERT_FALSE(refused);
        EXPECT_EQ(refused.Error().stage, RestoreStage::Apply);
        EXPECT_EQ(refused.Error().cause.subject, TcpipInterfaceKey(kService));
        EXPECT_EQ(refused.Error().cause.error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
    ExpectPoisoned();
}
// Lets every key and value through: the undo file holds the test's own keys.
class AnyKey : public AllowList {
public:
    std::optional<std::wstring> KeyFault(const std::wstring&) const override { return std::nullopt; }
    std::optional<std::wstring> ValueFault(const std::wstring&, const SnapshotValue&) const override {
        return std::nullopt;
    }
};

// A restore first saves what it is about to overwrite: restoring that file gives back,
// byte for byte, what the restore replaced.
TEST_F(SnapshotRegistry, ARestoreCanBeUndoneByTheSnapshotItSavesFirst) {
    const std::string service = "{undo-" + std::to_string(GetCurrentProcessId()) + "}";
    const std::string interfaceKey =
        "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\" + service;
    TestSupport::WriteStoredValue(HKEY_LOCAL_MACHINE, interfaceKey, "IPAddress",
                                  Utf16(REG_MULTI_SZ, std::wstring(L"10.0.1.5\0\0", 10)));
    std::vector<KeyRequest> requests = Requests();
    requests.push_back({Wide(interfaceKey), {L"IPAddress", L"EnableDHCP"}});
    const Outcome<Snapshot> before = CaptureSnapshot(requests);
    ASSERT_TRUE(before);

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const SnapshotHistory history(BackupFolder(std::wstring(temp) + L"undo-data"));
    ChangeEverything();
    TestSupport::WriteStoredValue(HKEY_LOCAL_MACHINE, interfaceKey, "EnableDHCP", kPoison);
    const Outcome<std::wstring> undo = RestoreUndoably(history, kToolTag, before.Value());
    ASSERT_TRUE(undo) << Narrow(undo.Error().Describe());
    ExpectSeeded();
    EXPECT_EQ(TestSupport::ReadStoredValue(HKEY_LOCAL_MACHINE, interfaceKey, "EnableDHCP"), std::nullopt);

    const Outcome<std::vector<BYTE>> read = ReadSnapshotFile(undo.Value());
    ASSERT_TRUE(read);
    const Outcome<Snapshot> undone = ParseRegFile(read.Value(), AnyKey());
    ASSERT_TRUE(undone) << Narrow(undone.Error().Describe());
    const Outcome<std::wstring> redo = RestoreUndoably(history, kWizardTag, undone.Value());
    ASSERT_TRUE(redo);
    for (const auto& [key, name, value] : m_seeded)
        EXPECT_EQ(TestSupport::ReadStoredValue(HKEY_LOCAL_MACHINE, key, name), kPoison)
            << key << "\\" << name;
    EXPECT_EQ(TestSupport::ReadStoredValue(HKEY_LOCAL_MACHINE, m_adapter, "Absent"), kPoison);
    EXPECT_EQ(TestSupport::ReadStoredValue(HKEY_LOCAL_MACHINE, interfaceKey, "EnableDHCP"), kPoison);

    // A snapshot without an adapter key is refused with nothing saved or written.
    const Outcome<std::wstring> refused =
        RestoreUndoably(history, kToolTag, Snapshot{{before.Value().keys[0]}});
    EXPECT_FALSE(refused);
    EXPECT_EQ(TestSupport::ReadStoredValue(HKEY_LOCAL_MACHINE, m_adapter, "Absent"), kPoison);
    const Outcome<std::vector<HistoryEntry>> listed = history.List();
    TestSupport::DeleteTree(HKEY_LOCAL_MACHINE, interfaceKey);
    for (const HistoryEntry& entry : listed.Value()) DeleteFileW(entry.file.path.c_str());
    RemoveDirectoryW((std::wstring(temp) + L"undo-data\\Backups").c_str());
    RemoveDirectoryW((std::wstring(temp) + L"undo-data").c_str());
    ASSERT_EQ(listed.Value().size(), 2u);
    EXPECT_TRUE(listed.Value()[1].original);  // the first of the adapter
}
