// Release checks run under Wine against the shipped programs:
//   release_checks resources <exe> <execution level> <file version a.b.c.d> <language id> [common-controls]
//     The manifest (RT_MANIFEST 1) asks for the execution level, names the supported
//     Windows versions, declares per-monitor DPI awareness (and with common-controls
//     depends on Common Controls 6) and loads as an activation context; the version
//     resource has the file version, the language, the company and the original file name.
//   release_checks find-tool [expect-missing]
//     Starts Adapset.exe by full path in the Windows directory with CreateProcess, that
//     directory as working directory, as the wizard does, and waits for it. Exit status 0
//     when it ran and listed (status 0), or with expect-missing when there was none.
//   release_checks hold <file> <ms> <ready file>
//     Keeps the file open, sharing neither writing nor deletion (as a running program
//     keeps its own), creates the ready file once it holds it, and lets go after ms.
// A path beginning with "/" is a host path and is read through Wine's Z: drive.
// Prints one line per failed check; the exit status is the number of failures.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

int failures = 0;

void Check(bool ok, const std::string& what) {
    if (!ok) {
        ++failures;
        printf("FAILED: %s\n", what.c_str());
    }
}

// The Windows form of a path: a host path /a/b becomes Z:\a\b.
std::string WindowsPath(const char* path) {
    std::string windows = path;
    if (windows.empty() || windows[0] != '/') return windows;
    for (char& c : windows)
        if (c == '/') c = '\\';
    return "Z:" + windows;
}

std::wstring Wide(const char* text) {
    std::wstring wide(MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(wide.size() - 1);
    return wide;
}

// Every supported-OS entry, Vista to 10/11.
const char* const kSupportedOs[] = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"};

void CheckManifest(const char* exe, const std::string& level, bool commonControls) {
    HMODULE module = LoadLibraryExA(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    Check(module != nullptr, std::string("loads as a data file: ") + exe);
    if (module == nullptr) return;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    Check(found != nullptr, "has an application manifest (RT_MANIFEST 1)");
    if (found != nullptr) {
        const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
        const std::string xml(data, SizeofResource(module, found));
        Check(xml.find("requestedExecutionLevel level=\"" + level + "\"") != std::string::npos,
              "manifest asks for execution level " + level);
        int levels = 0;
        for (size_t at = xml.find("requestedExecutionLevel"); at != std::string::npos;
             at = xml.find("requestedExecutionLevel", at + 1))
            ++levels;
        Check(levels == 1, "exactly one requestedExecutionLevel");
        for (const char* id : kSupportedOs)
            Check(xml.find(std::string("<supportedOS Id=\"") + id + "\"/>") != std::string::npos,
                  std::string("manifest names supported OS ") + id);
        Check(xml.find(">PerMonitorV2, PerMonitor</dpiAwareness>") != std::string::npos,
              "manifest declares per-monitor (v2) DPI awareness");
        Check(xml.find(">true/pm</dpiAware>") != std::string::npos,
              "manifest declares the DPI-aware fallback");
        const bool dependsOnControls =
            xml.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"") != std::string::npos;
        Check(dependsOnControls == commonControls, commonControls
                                                       ? "manifest depends on Common Controls 6"
                                                       : "manifest has no Common Controls dependency");
    }
    FreeLibrary(module);

    // The loader must accept it too: a malformed manifest stops the program from starting.
    const std::wstring path = Wide(exe);
    ACTCTXW context = {};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = path.c_str();
    context.lpResourceName = MAKEINTRESOURCEW(1);
    HANDLE activation = CreateActCtxW(&context);
    Check(activation != INVALID_HANDLE_VALUE, "manifest loads as an activation context");
    if (activation != INVALID_HANDLE_VALUE) ReleaseActCtx(activation);
}

std::wstring VersionString(std::vector<BYTE>& block, WORD language, const wchar_t* name) {
    wchar_t query[128];
    swprintf(query, 128, L"\\StringFileInfo\\%04x04b0\\%ls", language, name);
    wchar_t* text = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&text), &length) || text == nullptr)
        return L"";
    return text;
}

void CheckVersion(const char* exe, const char* fileVersion, const char* language) {
    const std::wstring path = Wide(exe);
    DWORD ignored = 0;
    std::vector<BYTE> block(GetFileVersionInfoSizeW(path.c_str(), &ignored));
    Check(!block.empty() &&
              GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()),
          "has a version resource");
    if (failures != 0 && block.empty()) return;

    unsigned a = 0, b = 0, c = 0, d = 0;
    sscanf(fileVersion, "%u.%u.%u.%u", &a, &b, &c, &d);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    Check(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed != nullptr,
          "has fixed file information");
    if (fixed == nullptr) return;
    Check(fixed->dwFileVersionMS == ((a << 16) | b) && fixed->dwFileVersionLS == ((c << 16) | d),
          std::string("file version ") + fileVersion);
    Check(fixed->dwFileType == VFT_APP, "file type is an application");

    const WORD wantLanguage = static_cast<WORD>(strtoul(language, nullptr, 0));
    WORD* translation = nullptr;
    Check(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                         &length) &&
              length >= 4 && translation[0] == wantLanguage && translation[1] == 1200,
          std::string("translation is language ") + language + " with code page 1200");
    Check(VersionString(block, wantLanguage, L"CompanyName") == L"Tarvelo", "company name Tarvelo");
    Check(!VersionString(block, wantLanguage, L"FileDescription").empty(), "has a file description");
    Check(!VersionString(block, wantLanguage, L"ProductVersion").empty(), "has a product version text");
    const std::wstring original = VersionString(block, wantLanguage, L"OriginalFilename");
    const std::wstring fileName = path.substr(path.find_last_of(L"\\/") + 1);
    Check(CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, original.c_str(), -1, fileName.c_str(), -1) ==
              CSTR_EQUAL,
          "original file name matches the file");
}

// Starts Adapset.exe as the wizard does: by full path in the Windows directory, with
// CreateProcess, hidden, that directory as working directory.
int FindTool(bool expectMissing) {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string path = std::string(windows) + "\\Adapset.exe";
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    const BOOL ok = CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                                   CREATE_NO_WINDOW, nullptr, windows, &startup, &started);
    if (ok) CloseHandle(started.hThread);
    if (expectMissing) {
        Check(!ok, "no Adapset.exe in the Windows directory");
        if (ok) CloseHandle(started.hProcess);
        return failures;
    }
    Check(ok, "Adapset.exe starts from the Windows directory by full path");
    if (!ok) return failures;
    Check(WaitForSingleObject(started.hProcess, 60000) == WAIT_OBJECT_0, "Adapset.exe ends");
    DWORD status = 1;
    GetExitCodeProcess(started.hProcess, &status);
    CloseHandle(started.hProcess);
    Check(status == 0, "Adapset.exe lists the adapters (status " + std::to_string(status) + ")");
    return failures;
}

int HoldFile(const char* path, DWORD ms, const char* ready) {
    const HANDLE file = CreateFileA(WindowsPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    Check(file != INVALID_HANDLE_VALUE, std::string("opens ") + path);
    if (file == INVALID_HANDLE_VALUE) return failures;
    const HANDLE marker =
        CreateFileA(WindowsPath(ready).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
    Sleep(ms);
    CloseHandle(file);
    return failures;
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "resources" && (argc == 6 || argc == 7)) {
        const std::string exe = WindowsPath(argv[2]);
        CheckManifest(exe.c_str(), argv[3], argc == 7 && std::string(argv[6]) == "common-controls");
        CheckVersion(exe.c_str(), argv[4], argv[5]);
        return failures;
    }
    if (mode == "find-tool") return FindTool(argc > 2 && std::string(argv[2]) == "expect-missing");
    if (mode == "hold" && argc == 5) return HoldFile(argv[2], strtoul(argv[3], nullptr, 10), argv[4]);
    fprintf(stderr,
            "usage: release_checks resources <exe> <level> <version> <language> [common-controls]"
            " | find-tool [expect-missing] | hold <file> <ms> <ready file>\n");
    return 100;
}
