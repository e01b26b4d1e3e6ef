// Credentials as the configuration and the catalogue store them: the inverse of the program's
// descrambling (each character plus the key's character and 12, as three decimal digits).
#pragma once
#include <string>

namespace vttest {

std::string ScrambleCredentials(const std::wstring& plain);

}  // namespace vttest
