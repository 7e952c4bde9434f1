#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace TestSupport {

struct ProcessResult {
    DWORD exitCode = 0;
    std::string output;       // everything the program wrote to standard output
    std::string errorOutput;  // everything it wrote to standard error
    bool timedOut = false;    // the program was killed after the time limit
};

using Environment = std::vector<std::pair<std::string, std::string>>;

// Runs a command line, captures both output streams and waits for the end (killing
// the program after timeoutMs). extraEnvironment adds or replaces variables.
ProcessResult RunProcess(const std::string& commandLine, const std::string& workingDirectory = "",
                         DWORD timeoutMs = 60000, const Environment& extraEnvironment = {});

// Directory of the running test program, with a trailing backslash.
std::string ModuleDirectory();

// Path for a test artifact (screenshot, log) in the build's artifact directory.
std::string ArtifactPath(const std::string& fileName);

// Reads a whole file as bytes; empty when it does not exist.
std::string ReadFileBytes(const std::string& path);

// Removes a folder with everything below it; a missing folder is fine.
void RemoveFolderTree(const std::string& path);
// Names of the files in a folder, in ascending order; none when it is missing.
std::vector<std::string> FolderFileNames(const std::string& folder);
// Gives an existing file a last write time `minutes` after 2020-01-01 00:00 UTC, so
// that tests order files by time.
void SetWriteTime(const std::wstring& path, int minutes);
void SetWriteTime(const std::string& path, int minutes);

// The lines of a recording double's log that start with prefix, without it.
std::vector<std::string> LogLines(const std::string& log, const std::string& prefix);

// A folder of a test's own in the artifact directory: empty when made, removed with
// everything in it at the end.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name);
    ~ScratchFolder() { RemoveFolderTree(m_path); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return m_path; }  // without a trailing backslash
    // Names of the files in the folder or one below it, in ascending order.
    std::vector<std::string> FileNames(const std::string& subfolder = "") const {
        return FolderFileNames(m_path + "\\" + subfolder);
    }

private:
    std::string m_path;
};

}  // namespace TestSupport
