// How one package is started: the installer program and its argument string, chosen by the
// package file's extension and by whether the product is installed already.
#pragma once
#include <string>

#include "catalogue/UpdateInfo.h"

struct PackageCommand {
    std::wstring application;  // empty: nothing can be started for this package
    std::wstring arguments;    // begins with a blank; passed as the command line
};

// The text after the last "." of the file (the whole text when it has none).
std::wstring PackageExtension(const std::wstring& packageFile);

// "msiexec.exe" of the system folder: a bare name would be looked for in the current folder only.
std::wstring MsiexecPath();

// The command for the package record. destination is the folder of a new install; for an
// installed product (newInstall false) it is not used. Paths are quoted, so folders with blanks
// reach the installer whole.
PackageCommand BuildPackageCommand(const CUpdateInfo& package, bool newInstall, const std::wstring& destination);
