#include "settings_snapshot/SnapshotFile.h"

#include <algorithm>
#include <utility>

#include "DecimalText.h"
#include "settings_snapshot/FolderSecurity.h"
#include "settings_snapshot/RegFileParser.h"

namespace SettingsSnapshot {
namespace {

// Writes and flushes all bytes; the Win32 error of the first failing call.
DWORD WriteAll(HANDLE file, const std::vector<BYTE>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) return GetLastError();
        if (written == 0) return ERROR_WRITE_FAULT;
        done += written;
    }
    return FlushFileBuffers(file) ? ERROR_SUCCESS : GetLastError();
}

}  // namespace

Outcome<OwnedHandle> WriteNewFileKeptOpen(const std::wstring& path, const std::vector<BYTE>& bytes,
                                          DWORD extraAccess) {
    Outcome<OwnedHandle> created = OpenPlainFile(path, GENERIC_WRITE | extraAccess, 0, CREATE_NEW);
    if (!created) {
        Failure failure = created.Error();
        if (failure.error != ERROR_CANT_ACCESS_FILE) failure.reason = L"cannot create the file";
        return failure;
    }
    const DWORD error = WriteAll(created.Value().get(), bytes);
    if (error == ERROR_SUCCESS) return created;
    created.Value().reset();
    DeleteFileW(path.c_str());
    return Failure{path, L"cannot write the file", error};
}

std::optional<Failure> WriteNewFile(const std::wstring& path, const std::vector<BYTE>& bytes) {
    Outcome<OwnedHandle> written = WriteNewFileKeptOpen(path, bytes, 0);
    if (!written) return written.Error();
    if (CloseHandle(written.Value().release())) return std::nullopt;
    const Failure failure{path, L"cannot write the file", GetLastError()};
    DeleteFileW(path.c_str());
    return failure;
}

Outcome<std::vector<BYTE>> ReadSnapshotFile(const std::wstring& path) {
    const Outcome<OwnedHandle> opened = OpenPlainFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    if (!opened) return opened.Error();
    const OwnedHandle& file = opened.Value();
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return Failure{path, L"cannot read the file", GetLastError()};
    if (static_cast<ULONGLONG>(size.QuadPart) > kMaxRegFileBytes)
        return Failure{path, L"file larger than " + DecimalText(kMaxRegFileBytes) + L" bytes"};
    std::vector<BYTE> bytes(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty() &&
        !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return Failure{path, L"cannot read the file", GetLastError()};
    bytes.resize(read);
    return bytes;
}

}  // namespace SettingsSnapshot
