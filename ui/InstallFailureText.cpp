#include "ui/InstallFailureText.h"

#include <cwchar>

#include "StringIds.h"
#include "catalogue/ProductIds.h"
#include "catalogue/SoftMulti.h"
#include "framework/StringFormat.h"

namespace {

const wchar_t kErrorLogSection[] = L"ERROR_Log";
const wchar_t kResultSection[] = L"ResponseResult";

std::wstring Text(UINT id) { return fw::LoadResString(id); }

std::wstring ReadValue(const wchar_t* section, const wchar_t* key, const std::wstring& file, DWORD capacity) {
    if (file.empty()) return std::wstring();
    std::wstring value(capacity, L'\0');
    const DWORD length = GetPrivateProfileStringW(section, key, L"", &value[0], capacity, file.c_str());
    value.resize(length);
    return value;
}

bool IsBundle(const CUpdateInfo& record) { return record.m_packageCount > 1 && record.m_subPackages; }

// Where the product's setup writes its log, its result file, and the package that ran.
struct SetupFiles {
    std::wstring setupLog;
    std::wstring resultFile;
    std::wstring packagePath;
};

SetupFiles FindSetupFiles(const CUpdateInfo& record, int o, const std::wstring& temp) {
    SetupFiles files;
    if (!IsBundle(record)) {
        if (record.m_id == PRODUCT_MANAGER)
            files.setupLog = temp + L"VTManagerInst.log";
        else if (record.m_id == PRODUCT_ONLINE_UPDATE)
            files.setupLog = temp + L"VeltronaOnlineUpdate\\" + L"Veltrona OnlineUpdate Setup.log";
        else
            return files;
        files.resultFile = record.m_logFile;
        files.packagePath = record.m_packageFile;
        return files;
    }
    const _SoftMulti& package = (*record.m_subPackages)[static_cast<size_t>(o)];
    if (package.m_id == PRODUCT_HOME_OCR_LANGPACK2)
        files.setupLog = temp + L"HomeSetupLog\\" + L"VeltronaHomeOCRLangPack2Setup.log";
    else if (package.m_id == PRODUCT_HOME_OCR_LANGPACK3)
        files.setupLog = temp + L"HomeSetupLog\\" + L"VeltronaHomeOCRLangPack3Setup.log";
    else
        return files;
    files.resultFile = package.m_logFile;
    files.packagePath = package.m_packageFile;
    return files;
}

std::wstring Lines(const std::wstring& text) { return fw::Format(L"\n%s\n", text.c_str()); }

}  // namespace

void TranslateResultCode(std::wstring& result, std::wstring& detail, const std::wstring& installedPath) {
    if (result == L"-3") {
        detail = Lines(Text(IDS_INSTALL_INCOMPLETE_DOWNLOAD));
    } else if (result == L"-4") {
        detail = Lines(Text(IDS_INSTALL_LOW_MEMORY));
    } else if (result == L"-51" || result == L"-52") {
        detail = Lines(fw::Format(Text(IDS_INSTALL_ACCESS_ERROR).c_str(), installedPath.c_str()));
    } else if (result == L"-1" || result == L"-2" || result == L"-53") {
        result = fw::Format(L"Err_%d", 30000 + _wtoi(result.c_str() + 1));
    } else {
        static const wchar_t* const kNumbered[] = {L"-5", L"-6", L"-7", L"-8", L"-9", L"-10", L"-11", L"-12"};
        for (const wchar_t* code : kNumbered) {
            if (result == code) {
                result = fw::Format(L"Err_%d", 30000 + _wtoi(code + 1));
                break;
            }
        }
    }
}

InstallFailureText DescribeResponseFileFailure(const CUpdateInfo& record, int o) {
    const std::wstring& responseFile =
        IsBundle(record) ? (*record.m_subPackages)[static_cast<size_t>(o)].m_issFile : record.m_issFile;
    InstallFailureText text;
    text.textId = IDS_INSTALL_FAILED_DETAIL;
    text.head = fw::Format(Text(IDS_INSTALL_FAILED).c_str(), record.m_title.c_str());
    text.detail = fw::Format(Text(IDS_RESPONSE_FILE_UNUSABLE).c_str(), responseFile.c_str());
    return text;
}

InstallFailureText DescribeInstallerFailure(const CUpdateInfo& record, int o, const std::wstring& tempFolder) {
    const SetupFiles files = FindSetupFiles(record, o, tempFolder);
    InstallFailureText text;
    text.codeLooked = true;
    std::wstring code = ReadValue(kErrorLogSection, L"ErrorCode", files.setupLog, 520);
    if (!code.empty()) {
        text.code = code;
        for (wchar_t& c : code)
            if (c == L'^') c = L'\n';
        text.detail = Lines(code);
    } else {
        std::wstring result = ReadValue(kResultSection, L"ResultCode", files.resultFile, 260);
        TranslateResultCode(result, text.detail, record.m_installedPath);
        text.code = result;
        if (!result.empty() && result != L"0" && result != L"-3" && result != L"-4" && result != L"-51" &&
            result != L"-52") {
            text.detail = fw::Format(Text(IDS_INSTALL_ERROR_CODE).c_str(), result.c_str(), files.packagePath.c_str());
        }
    }
    text.head = fw::Format(Text(IDS_INSTALL_FAILED).c_str(), record.m_title.c_str());
    text.textId = text.detail.empty() ? IDS_INSTALL_FAILED : IDS_INSTALL_FAILED_DETAIL;
    return text;
}
