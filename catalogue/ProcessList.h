// The running processes, from a process snapshot.
#pragma once
#include <string>

// TRUE when a process with that image name (any letter case) runs. The snapshot's first entry, the
// system idle process, is not compared.
bool IsProcessRunning(const std::wstring& imageName);
