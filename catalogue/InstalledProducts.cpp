#include "catalogue/InstalledProducts.h"

#include "catalogue/ProductIds.h"
#include "support/Registry.h"

namespace {

std::wstring ProductKey(const std::wstring& id) {
    if (id == PRODUCT_ONLINE_UPDATE) return REG_ONLINE_UPDATE;
    return std::wstring(REG_FAMILY_PRODUCTS) + L"\\" + id;
}

}  // namespace

std::wstring ReadInstalledVersion(const std::wstring& id) { return GetREGSZDataInfo(ProductKey(id), L"Version"); }

std::wstring ReadInstalledPath(const std::wstring& id) { return GetREGSZDataInfo(ProductKey(id), L"Path"); }

bool IsProductInstalled(const std::wstring& name) {
    return !GetREGSZDataInfo(std::wstring(REG_FAMILY_PRODUCTS) + L"\\" + name, L"Version").empty();
}
