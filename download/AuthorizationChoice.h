// Which prepared authorization line a request carries.
#pragma once
#include <string>

#include "catalogue/UpdateInfo.h"

// The single files: configuration files (".xml" in the URL) carry the configuration line, anything
// else the catalogue line; an empty line is not added. TRUE when header holds a line to add.
bool ChooseSingleFileHeader(const std::wstring& url, std::wstring& header);

// Package work: the home application's OCR packs inside a bundle carry the OCR-pack line (passed on
// even when empty), everything else the catalogue line when it is set. TRUE when header holds a
// line to add. subPackage is the index within a bundle record's package list.
bool ChoosePackageHeader(const CUpdateInfo& item, int subPackage, std::wstring& header);
