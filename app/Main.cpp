// Entry point of VTInst.exe: hands the run to the application object.
#include "app/VTInst.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    return theApp.Run(instance, commandLine);
}
