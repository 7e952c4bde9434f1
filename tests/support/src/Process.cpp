#include "test_support/Process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <thread>

namespace TestSupport {
namespace {

struct HandleCloser {
    void operator()(HANDLE h) const {
        if (h != nullptr && h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// Reads a pipe to its end on a thread of its own, so neither stream can block the child.
class PipeReader {
public:
    explicit PipeReader(HANDLE readEnd) : m_pipe(readEnd), m_thread([this] { Drain(); }) {}
    ~PipeReader() {
        if (m_thread.joinable()) m_thread.join();
    }
    std::string Take() {
        m_thread.join();
        return std::move(m_text);
    }

private:
    void Drain() {
        char chunk[4096];
        DWORD got = 0;
        while (ReadFile(m_pipe.get(), chunk, sizeof chunk, &got, nullptr) && got > 0)
            m_text.append(chunk, got);
    }
    UniqueHandle m_pipe;
    std::string m_text;
    std::thread m_thread;
};

void MakePipe(UniqueHandle& readEnd, UniqueHandle& writeEnd) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE r = nullptr, w = nullptr;
    if (!CreatePipe(&r, &w, &sa, 0)) throw std::runtime_error("CreatePipe failed");
    SetHandleInformation(r, HANDLE_FLAG_INHERIT, 0);
    readEnd.reset(r);
    writeEnd.reset(w);
}

// The current environment with the given variables added or replaced, as a block.
std::string EnvironmentBlock(const Environment& extra) {
    std::map<std::string, std::string, std::less<>> vars;
    std::unique_ptr<char, decltype(&FreeEnvironmentStringsA)> block(GetEnvironmentStringsA(),
                                                                    &FreeEnvironmentStringsA);
    for (const char* p = block.get(); *p != '\0'; p += strlen(p) + 1) {
        const std::string entry(p);
        const auto eq = entry.find('=', 1);
        if (eq != std::string::npos) vars[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    for (const auto& [name, value] : extra) vars[name] = value;
    std::string out;
    for (const auto& [name, value] : vars) out += name + "=" + value + '\0';
    out += '\0';
    return out;
}

}  // namespace

ProcessResult RunProcess(const std::string& commandLine, const std::string& workingDirectory, DWORD timeoutMs,
                         const Environment& extraEnvironment) {
    UniqueHandle outRead, outWrite, errRead, errWrite;
    MakePipe(outRead, outWrite);
    MakePipe(errRead, errWrite);

    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = outWrite.get();
    si.hStdError = errWrite.get();

    std::string env = EnvironmentBlock(extraEnvironment);
    PROCESS_INFORMATION pi{};
    const auto start = [&] {
        std::string line = commandLine;
        return CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, env.data(),
                              workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &si, &pi);
    };
    // Wine now and then fails a start with ERROR_INTERNAL_ERROR before the program runs
    // (twice in a day of full runs, never on purpose); the start is tried once more.
    bool started = start();
    if (!started && GetLastError() == ERROR_INTERNAL_ERROR) {
        Sleep(200);
        started = start();
    }
    if (!started) {
        ADD_FAILURE() << "cannot start: " << commandLine << " (error " << GetLastError() << ")";
        return ProcessResult{~0u, "", "", false};
    }
    UniqueHandle process(pi.hProcess);
    UniqueHandle thread(pi.hThread);
    outWrite.reset();
    errWrite.reset();

    PipeReader out(outRead.release());
    PipeReader err(errRead.release());
    ProcessResult result;
    if (WaitForSingleObject(process.get(), timeoutMs) == WAIT_TIMEOUT) {
        TerminateProcess(process.get(), 0xDEAD);
        WaitForSingleObject(process.get(), INFINITE);
        result.timedOut = true;
    }
    GetExitCodeProcess(process.get(), &result.exitCode);
    result.output = out.Take();
    result.errorOutput = err.Take();
    return result;
}

std::string ModuleDirectory() {
    char path[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string text(path, n);
    return text.substr(0, text.find_last_of('\\') + 1);
}

std::string ArtifactPath(const std::string& fileName) {
    const char* dir = std::getenv("TARVELO_TEST_ARTIFACTS");
    std::string base = dir != nullptr ? dir : ModuleDirectory();
    if (!base.empty() && base.back() != '\\') base += '\\';
    CreateDirectoryA(base.c_str(), nullptr);
    return base + fileName;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void RemoveFolderTree(const std::string& path) {
    WIN32_FIND_DATAA found{};
    const HANDLE find = FindFirstFileA((path + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName, child = path + "\\" + name;
            if (name == "." || name == "..") continue;
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
                RemoveFolderTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

ScratchFolder::ScratchFolder(const std::string& name) : m_path(ArtifactPath(name)) {
    RemoveFolderTree(m_path);
    CreateDirectoryA(m_path.c_str(), nullptr);
}

std::vector<std::string> FolderFileNames(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    const HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(found.cFileName);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

void SetWriteTime(const std::wstring& path, int minutes) {
    const HANDLE file =
        CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "setting the time of a missing file";
    ULARGE_INTEGER time{};
    time.QuadPart = 132223104000000000ull + static_cast<ULONGLONG>(minutes) * 600000000ull;
    const FILETIME written{time.LowPart, time.HighPart};
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &written));
    CloseHandle(file);
}

void SetWriteTime(const std::string& path, int minutes) {
    std::wstring wide(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0)),
                      L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    wide.resize(wide.empty() ? 0 : wide.size() - 1);
    SetWriteTime(wide, minutes);
}

std::vector<std::string> LogLines(const std::string& log, const std::string& prefix) {
    std::vector<std::string> lines;
    for (size_t start = 0; start < log.size();) {
        size_t end = log.find('\n', start);
        if (end == std::string::npos) end = log.size();
        const std::string line = log.substr(start, end - start);
        if (line.compare(0, prefix.size(), prefix) == 0) lines.push_back(line.substr(prefix.size()));
        start = end + 1;
    }
    return lines;
}

}  // namespace TestSupport
