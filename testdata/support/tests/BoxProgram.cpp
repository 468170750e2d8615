// A program that shows a message box and ends with the button pressed.
#include <windows.h>

int main()
{
    return MessageBoxA(nullptr, "box of another process", "Program", MB_OKCANCEL);
}
