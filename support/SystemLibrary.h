// Loading a library of the operating system by its full path in the system folder. A bare name is
// looked up in the program's own folder first, where anything downloaded beside the program would
// run with its administrator rights.
#pragma once
#include <windows.h>

// NULL (with the system's error) when the path is too long or the library does not load.
HMODULE LoadSystemLibrary(const wchar_t* fileName);
