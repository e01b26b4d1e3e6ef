#include "download/HttpDownload.h"
#include "download/HttpDownloadLog.h"
#include "download/LocalTarget.h"
#include "framework/StringFormat.h"

BOOL CHttpDownLoad::RenameDownFile(int index, std::wstring& resultPath, const std::wstring& folder,
                                   const std::wstring& fileName) {
    HTTPDL_INFO(L"Start:CHttpDownLoad::RenameDownFile");
    std::wstring path;
    if (index < 0) {
        path = fw::Format(L"%s%s", folder.c_str(), fileName.c_str());
    } else {
        const size_t dot = fileName.rfind(L'.');
        if (dot == std::wstring::npos)
            path = fw::Format(L"%s%s_%02d", folder.c_str(), fileName.c_str(), index + 1);
        else
            path = fw::Format(L"%s%s_%02d.%s", folder.c_str(), fileName.substr(0, dot).c_str(), index + 1,
                              fileName.substr(dot + 1).c_str());
    }
    // A three-digit suffix can push an accepted name past what a path holds; a cut path would name
    // some other file, so the name is refused instead.
    const BOOL fits = path.size() <= kMaxPathLength;
    if (fits) resultPath = path;
    HTTPDL_INFO(L"End  :CHttpDownLoad::RenameDownFile");
    return fits;
}
