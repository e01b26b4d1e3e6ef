#include "catalogue/ItemCompleteness.h"

#include <cwchar>

#include "support/Log.h"

namespace {

// Text after the last '.', or the whole text when there is none.
std::wstring Extension(const std::wstring& location) {
    const size_t dot = location.rfind(L'.');
    return dot == std::wstring::npos ? location : location.substr(dot + 1);
}

}  // namespace

bool CheckItemEmpty(const CUpdateInfo& item) {
    if (item.m_id.empty() || item.m_title.empty()) return true;
    if (item.m_version.empty()) {
        LOG_ERROR((L"Error:CVTInstApp::CheckItemEmpty: The " + item.m_title + L" Version is empty.").c_str());
        return true;
    }
    if (item.m_pubDate == 0 || item.m_delDate == 0) return true;
    if (item.m_moduleUrl.empty()) {
        LOG_ERROR((L"Error:CVTInstApp::CheckItemEmpty: The " + item.m_title + L" module path is empty.").c_str());
        return true;
    }
    // A setup program is always run with a response file, for a new install and for an update.
    if (_wcsicmp(Extension(item.m_moduleUrl).c_str(), L"exe") == 0 &&
        (item.m_issUrl.empty() || item.m_issUgUrl.empty()))
        return true;
    if (item.m_size < 0 || item.m_installSize <= 0) return true;
    return false;
}
