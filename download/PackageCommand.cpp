#include "download/PackageCommand.h"

#include <windows.h>

#include "catalogue/ProductIds.h"
#include "framework/StringFormat.h"

namespace {

bool ExtensionIs(const std::wstring& extension, const wchar_t* expected) {
    return _wcsicmp(extension.c_str(), expected) == 0;
}

// The setup programs are driven by their response file; the online-update tool also joins the
// family's integration.
std::wstring SetupProgramArguments(const CUpdateInfo& package) {
    const wchar_t* format = package.m_id == PRODUCT_ONLINE_UPDATE
                                ? L" /s /f1\"%s\" /f2\"%s\" /z\"/passive /integration\""
                                : L" /s /f1\"%s\" /f2\"%s\" /z\"/passive\"";
    return fw::Format(format, package.m_issFile.c_str(), package.m_logFile.c_str());
}

}  // namespace

std::wstring PackageExtension(const std::wstring& packageFile) {
    const size_t dot = packageFile.rfind(L'.');
    return dot == std::wstring::npos ? packageFile : packageFile.substr(dot + 1);
}

std::wstring MsiexecPath() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return L"msiexec.exe";
    return std::wstring(folder) + L"\\msiexec.exe";
}

PackageCommand BuildPackageCommand(const CUpdateInfo& package, bool newInstall, const std::wstring& destination) {
    const std::wstring extension = PackageExtension(package.m_packageFile);
    const wchar_t* packagePath = package.m_packageFile.c_str();
    const wchar_t* logPath = package.m_logFile.c_str();
    PackageCommand command;
    if (ExtensionIs(extension, L"msi")) {
        command.application = MsiexecPath();
        command.arguments = newInstall
            ? fw::Format(L" /i \"%s\" /l*v \"%s\" /norestart /qn /passive INSTALLDIR=\"%s\"", packagePath, logPath,
                         destination.c_str())
            : fw::Format(L" /i \"%s\" /l*v \"%s\" /norestart /qn /passive", packagePath, logPath);
    } else if (ExtensionIs(extension, L"msp") && !newInstall) {
        command.application = MsiexecPath();
        command.arguments = fw::Format(L" /p \"%s\" /l*v \"%s\" /norestart /qn /passive REINSTALL=ALL REINSTALLMODE=omus",
                                       packagePath, logPath);
    } else if (!newInstall || ExtensionIs(extension, L"exe")) {
        command.application = package.m_packageFile;
        command.arguments = SetupProgramArguments(package);
    }
    return command;
}
