// The application's entry to the catalogue parse, in the user's language. Kept apart from the
// parser so the parser can be driven with any language code.
#include "app/VTInst.h"
#include "catalogue/CatalogueParser.h"
#include "support/Language.h"

BOOL CVTInstApp::CreateUpdateInfoList(const std::wstring& path) {
    return ParseCatalogue(*this, path, GetLanguageCode());
}
