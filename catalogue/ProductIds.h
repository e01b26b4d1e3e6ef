// Product IDs: the catalogue's item ids, which are also the products' registry key names.
#pragma once

constexpr wchar_t PRODUCT_MANAGER[] = L"Veltrona Manager";
constexpr wchar_t PRODUCT_ONLINE_UPDATE[] = L"Veltrona Online Update";
constexpr wchar_t PRODUCT_HOME[] = L"Veltrona Home";
constexpr wchar_t PRODUCT_OCR_LANGPACK_PREFIX[] = L"Veltrona OCR LangPack";
constexpr wchar_t PRODUCT_OCR_LANGPACK2[] = L"Veltrona OCR LangPack2";
constexpr wchar_t PRODUCT_HOME_OCR_LANGPACK_PREFIX[] = L"Veltrona Home OCR LangPack";
constexpr wchar_t PRODUCT_HOME_OCR_LANGPACK2[] = L"Veltrona Home OCR LangPack2";
constexpr wchar_t PRODUCT_HOME_OCR_LANGPACK3[] = L"Veltrona Home OCR LangPack3";

// Registry keys (HKEY_LOCAL_MACHINE) holding the values "Version" and "Path" of installed products.
constexpr wchar_t REG_FAMILY_PRODUCTS[] = L"SOFTWARE\\ZEL\\Veltrona Software";
constexpr wchar_t REG_ONLINE_UPDATE[] = L"SOFTWARE\\ZEL\\Veltrona Online Update";
