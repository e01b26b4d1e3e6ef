#include "app/AuthorizationHeader.h"

#include <windows.h>

#include "framework/StringFormat.h"
#include "support/Base64.h"
#include "support/Descramble.h"
#include "support/Log.h"

namespace {
const wchar_t kCredentialKey[] = L"tgHElmBoRaqU tgHElmBoRaqU tgHElmBoRaqU";
const int kCredentialOffset = 12;
const size_t kBufferSize = 260;
}  // namespace

bool MakeAuthorizationHeader(const std::wstring& scrambled, std::wstring& headerLine) {
    headerLine.clear();
    if (scrambled.empty()) return false;

    wchar_t plain[kBufferSize] = {};
    char plainAnsi[kBufferSize * 2] = {};
    char encoded[kBufferSize] = {};
    wchar_t encodedWide[kBufferSize] = {};

    Descramble(scrambled.c_str(), plain, kBufferSize, kCredentialKey, kCredentialOffset);
    int ansiLength = WideCharToMultiByte(CP_THREAD_ACP, 0, plain, -1, plainAnsi, sizeof(plainAnsi), nullptr, nullptr);
    bool built = false;
    // A cut credential would only fail at the server; refuse it here, where it can be logged.
    if (ansiLength > 0 &&
        Base64EncodeLines(reinterpret_cast<unsigned char*>(plainAnsi), ansiLength - 1, encoded, kBufferSize)) {
        if (MultiByteToWideChar(CP_THREAD_ACP, 0, encoded, -1, encodedWide, kBufferSize) > 0) {
            headerLine = fw::Format(L"Authorization: Basic %s", encodedWide);
            built = true;
        }
    } else {
        LOG_ERROR(L"Error:CVTInstApp::InitInstance: The credentials are too long for the authorization header.");
    }

    // Plain and encoded credentials must not linger in memory.
    SecureZeroMemory(plain, sizeof(plain));
    SecureZeroMemory(plainAnsi, sizeof(plainAnsi));
    SecureZeroMemory(encoded, sizeof(encoded));
    SecureZeroMemory(encodedWide, sizeof(encodedWide));
    return built;
}
