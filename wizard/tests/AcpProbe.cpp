// Exits with the ANSI code page it runs under.
#include <windows.h>

int main() {
    return static_cast<int>(GetACP());
}
