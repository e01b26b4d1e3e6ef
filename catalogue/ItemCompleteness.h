// The completeness test a catalogue record must pass before the selection considers it.
#pragma once
#include "catalogue/UpdateInfo.h"

// TRUE (skip the record) at the first missing or unusable field: id, title, version, either
// date, package location, both response files for a setup program (".exe"), sizes.
bool CheckItemEmpty(const CUpdateInfo& item);
