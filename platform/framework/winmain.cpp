// The program's entry point belongs to the framework: it runs the application object.
#include "framework.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
    return FrameworkWinMain(instance, commandLine, show);
}
