// "Authorization: Basic" header lines from the scrambled credentials of the configuration file and
// the catalogue.
#pragma once
#include <string>

// Builds the whole header line from scrambled credentials. FALSE (and an empty line) for empty
// credentials, and for credentials too long for the encoder's buffer (logged).
bool MakeAuthorizationHeader(const std::wstring& scrambled, std::wstring& headerLine);
