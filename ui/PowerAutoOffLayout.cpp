#include "ui/PowerAutoOffLayout.h"

#include <lm.h>

#include "framework/StringFormat.h"
#include "framework/SystemLibrary.h"

namespace {

bool IsMiddleDpi(int dpi) { return dpi >= 97 && dpi <= 120; }

// The first text ends at base + firstOffset, the second starts at base + secondOffset.
void Place(RECT& first, RECT& second, LONG base, LONG firstOffset, LONG secondOffset) {
    first.bottom = base + firstOffset;
    second.top = base + secondOffset;
}

}  // namespace

// The workstation service's library is not one the system keeps among its known libraries: it is
// loaded from the system folder when needed.
std::wstring WorkstationVersion() {
    typedef NET_API_STATUS(WINAPI * GetInfoFunction)(LMSTR, DWORD, BYTE**);
    typedef NET_API_STATUS(WINAPI * FreeFunction)(void*);
    const fw::CSystemLibrary netapi(L"netapi32.dll");
    const GetInfoFunction getInfo = netapi.Find<GetInfoFunction>("NetWkstaGetInfo");
    const FreeFunction freeBuffer = netapi.Find<FreeFunction>("NetApiBufferFree");
    BYTE* buffer = nullptr;
    if (!getInfo || !freeBuffer || getInfo(nullptr, 100, &buffer) != NERR_Success || !buffer) return L"-1";
    const WKSTA_INFO_100* info = reinterpret_cast<const WKSTA_INFO_100*>(buffer);
    const std::wstring version = fw::Format(L"%d.%d", static_cast<int>(info->wki100_ver_major),
                                            static_cast<int>(info->wki100_ver_minor));
    freeBuffer(buffer);
    return version;
}

void AdjustPowerOffTexts(UINT templateId, int dpi, LANGID language, const std::wstring& osVersion,
                         const std::wstring& workstationVersion, RECT& first, RECT& second) {
    if (templateId == 6003) {
        static const LANGID kLanguages[] = {1031, 1033, 1036, 1040, 1041, 1042, 1046, 1049, 3082};
        if (!IsMiddleDpi(dpi) || osVersion == L"5.1") return;
        for (LANGID listed : kLanguages) {
            if (listed != language) continue;
            first.bottom += 25;
            second.top += 25;
            second.bottom += 45;
            return;
        }
        return;
    }
    if (templateId != 135 && templateId != 6004) return;

    const bool seven = workstationVersion == L"6.1";
    const LONG base = first.bottom;
    switch (language) {
        case 2052: case 1028: case 1036: case 1042:
            seven ? Place(first, second, base, -25, -20) : Place(first, second, base, -28, -25);
            break;
        case 1033: case 1046:
            seven ? Place(first, second, base, -8, -2) : Place(first, second, base, -4, 2);
            break;
        case 1031: case 3082: case 1040: Place(first, second, base, -8, -2); break;
        case 1041:
            if (!seven) {
                Place(first, second, base, -25, -20);
            } else {
                Place(first, second, base, -8, -2);
                if (templateId == 135 && (dpi < 97 || dpi == 144)) Place(first, second, base, -20, -14);
            }
            break;
        case 1049: Place(first, second, base, -14, -8); break;
        default: break;
    }

    if (!IsMiddleDpi(dpi)) return;
    const LONG stepBase = first.bottom;
    switch (language) {
        case 1042: Place(first, second, stepBase, 14, 20); break;
        case 1046:
            if (templateId == 6004) Place(first, second, stepBase, 10, 16);
            else Place(first, second, stepBase, 45, 50);
            break;
        case 3082: case 1049:
            if (templateId == 135) {
                first.bottom = stepBase + (seven ? 22 : 23);
                second.top = first.bottom + 5;
            }
            break;
        default: break;
    }
}
