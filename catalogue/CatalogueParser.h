// Reads the server's catalogue into the application's item lists and catalogue-wide values.
#pragma once
#include <windows.h>

#include <string>

class CVTInstApp;

// Parses the catalogue file at path into app.m_catalogueItems, app.m_homeItems, app.m_osNotSupported
// and the catalogue values of app.m_updateCommonInfo. Titles, modules and licenses marked with
// languageCode win over unmarked ones. TRUE when the document was read to its end and holds a
// license, a state-file location and a model; on FALSE the lists keep what was read so far.
BOOL ParseCatalogue(CVTInstApp& app, const std::wstring& path, const std::wstring& languageCode);
