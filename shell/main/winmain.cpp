// Program entry of Levyline.exe.
#include "shell/shell.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand)
{
    (void)previous;
    return RunProgram(instance, commandLine, showCommand);
}
