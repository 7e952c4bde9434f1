// Holds the Wine desktop open for a whole test session. Wine starts its desktop process
// for the first program that asks for the desktop window, handing it that program's
// standard error; a test program doing so would leave ctest's output pipe open in the
// desktop after the test ends. Started by the session with its output going nowhere,
// this program asks first and stays until the session ends.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ::GetDesktopWindow();
    ::Sleep(INFINITE);
    return 0;
}
