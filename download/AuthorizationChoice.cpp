#include "download/AuthorizationChoice.h"

#include "app/VTInst.h"
#include "catalogue/SoftMulti.h"

namespace {

bool IsHomeOcrPack(const std::wstring& id) {
    return id == L"Veltrona Home OCR LangPack2" || id == L"Veltrona Home OCR LangPack3";
}

}  // namespace

bool ChooseSingleFileHeader(const std::wstring& url, std::wstring& header) {
    header = url.find(L".xml") != std::wstring::npos ? theApp.m_strAuthHeader : theApp.m_strSoftAuthHeader;
    return !header.empty();
}

bool ChoosePackageHeader(const CUpdateInfo& item, int subPackage, std::wstring& header) {
    header.clear();
    if (theApp.m_strOcrAuthHeader.empty() && theApp.m_strSoftAuthHeader.empty()) return false;
    const CSoftMultiList* packages = item.m_subPackages;
    if (packages && subPackage >= 0 && static_cast<size_t>(subPackage) < packages->size() &&
        IsHomeOcrPack((*packages)[subPackage].m_id)) {
        header = theApp.m_strOcrAuthHeader;
        return true;
    }
    header = theApp.m_strSoftAuthHeader;
    return !header.empty();
}
