// Stand-in for the Windows 9x installer the wizard hands over to. Writes the
// directory it was started in to tarvelo98-started.txt beside itself.
#include <windows.h>

#include <fstream>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char directory[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, directory);
    char module[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string path = module;
    path = path.substr(0, path.rfind('\\') + 1) + "tarvelo98-started.txt";
    std::ofstream(path, std::ios::binary) << directory;
    return 0;
}
