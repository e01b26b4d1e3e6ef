// What the install thread records after a package installed successfully: that the family's tools
// are due, where the user registers the product, and where the basic guide's shortcut lies.
#pragma once
#include "catalogue/UpdateInfo.h"

// The user-registration web form of the "JP" region, saved for the family's tools.
extern const wchar_t USER_REGISTRATION_URL[];

void RecordSuccessfulInstall(const CUpdateInfo& package);
