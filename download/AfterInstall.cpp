#include "download/AfterInstall.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "StringIds.h"
#include "app/VTInst.h"
#include "catalogue/ProductIds.h"
#include "catalogue/ProductKinds.h"
#include "download/HttpDownloadLog.h"
#include "framework/StringFormat.h"
#include "support/Language.h"
#include "support/Registry.h"

const wchar_t USER_REGISTRATION_URL[] = L"https://registration.veltrona.example/product/form";

namespace {

const wchar_t kRegistrationBatch[] = L"\\tavroskReg\\TAVROSK.BAT";
const FILEOP_FLAGS COPY_QUIETLY = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR;

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// A path list for the shell's file operations: the path and two terminators.
std::vector<wchar_t> DoubleTerminated(const std::wstring& path) {
    std::vector<wchar_t> list(path.begin(), path.end());
    list.push_back(L'\0');
    list.push_back(L'\0');
    return list;
}

// "RGNA": the registration tool goes beside the main application's folder.
void CopyRegistrationTool(const std::wstring& id) {
    std::wstring folder = GetREGSZDataInfo(fw::Format(L"%s\\%s", REG_FAMILY_PRODUCTS, id.c_str()), L"Path");
    if (folder.empty()) return;
    const size_t backslash = folder.rfind(L'\\');
    if (backslash != std::wstring::npos) folder.erase(backslash);

    std::vector<wchar_t> source = DoubleTerminated(theApp.m_strModuleDir + L"\\tavroskReg");
    std::vector<wchar_t> target = DoubleTerminated(folder);
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_COPY;
    operation.pFrom = source.data();
    operation.pTo = target.data();
    operation.fFlags = COPY_QUIETLY;
    const int result = SHFileOperationW(&operation);
    if (result == 0) {
        theApp.m_strRegistUrl = Quoted(fw::Format(L"%s%s", folder.c_str(), kRegistrationBatch));
    } else {
        HTTPDL_ERROR(fw::Format(L"Error:CHttpDownLoad::InstallThread: tavroskReg folder can not copy. errorcode:%d",
                                result).c_str());
    }
}

std::wstring BasicGuideShortcut() {
    wchar_t programs[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, programs, CSIDL_COMMON_PROGRAMS, FALSE);
    wchar_t menuFolder[1024] = {};
    wchar_t shortcut[1024] = {};
    LoadResourceString(menuFolder, 1024, IDS_MANUALS_MENU_FOLDER);
    LoadResourceString(shortcut, 1024, IDS_BASIC_GUIDE_SHORTCUT);
    return Quoted(fw::Format(L"%s\\%s\\%s.url", programs, menuFolder, shortcut));
}

}  // namespace

void RecordSuccessfulInstall(const CUpdateInfo& package) {
    theApp.m_nFromDVD = 1;
    if (package.m_id == PRODUCT_MANAGER) {
        theApp.m_bLaunchTools = TRUE;
        const std::wstring& region = theApp.m_updateCommonInfo.SetupType;
        if (region == L"JP")
            theApp.m_strRegistUrl = USER_REGISTRATION_URL;
        else if (region == L"RGNA")
            CopyRegistrationTool(package.m_id);
    } else if (IsVeltronaManual(package.m_id)) {
        // The shortcut itself comes with the manual's own setup.
        theApp.m_strGuidePath = BasicGuideShortcut();
    }
}
