#include "download/LocalTarget.h"

#include "framework/StringFormat.h"

bool JoinDownloadPath(const std::wstring& folder, const fw::CHttpFile& request, std::wstring& joined) {
    joined = fw::Format(L"%s%s", folder.c_str(), request.GetFileName().c_str());
    return joined.size() <= kMaxJoinedDownloadPath;
}
