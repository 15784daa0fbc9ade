#include <windows.h>

#include "launcher.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE prevInstance, LPSTR commandLine, int showCmd) {
    return RunLauncher(instance, prevInstance, commandLine, showCmd);
}
