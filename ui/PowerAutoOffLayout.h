// Pixel corrections of the power-off page's two texts for translated templates, by template, screen
// resolution, user language and Windows version.
#pragma once
#include <windows.h>

#include <string>

// The workstation's Windows version as "major.minor", or "-1" when it cannot be read.
std::wstring WorkstationVersion();

// Moves the bottom of the first text (first) and the top of the second (second); nothing else of
// the rectangles changes. osVersion is the program's version text, workstationVersion as above.
void AdjustPowerOffTexts(UINT templateId, int dpi, LANGID language, const std::wstring& osVersion,
                         const std::wstring& workstationVersion, RECT& first, RECT& second);
