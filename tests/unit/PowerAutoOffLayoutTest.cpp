// The power-off page's text corrections: which template, resolution, language and version move
// which edge.
#include <gtest/gtest.h>

#include "ui/PowerAutoOffLayout.h"

namespace vttest {
namespace {

TEST(PowerAutoOffLayoutTest, OnlyTheNamedEdgesMove) {
    const struct {
        UINT templateId;
        int dpi;
        LANGID language;
        const wchar_t* os;
        const wchar_t* workstation;
        LONG firstBottom, secondTop, secondBottom;  // from 100, 110, 200
    } rows[] = {
        {6003, 120, 1033, L"6.1", L"6.1", 125, 135, 245},
        {6003, 96, 1033, L"6.1", L"6.1", 100, 110, 200},
        {6003, 120, 1033, L"5.1", L"5.1", 100, 110, 200},
        {135, 96, 1033, L"6.1", L"6.1", 92, 98, 200},
        {135, 96, 1033, L"10.0", L"10.0", 96, 102, 200},
        {135, 96, 1041, L"6.1", L"6.1", 80, 86, 200},    // a second correction below 97 dpi
        {6004, 96, 1041, L"6.1", L"6.1", 92, 98, 200},
        {135, 120, 1046, L"6.1", L"6.1", 137, 142, 200},  // step 2 from step 1's 92
        {6004, 120, 1046, L"6.1", L"6.1", 102, 108, 200},
        {135, 120, 3082, L"10.0", L"10.0", 115, 120, 200},
        {6004, 120, 3082, L"10.0", L"10.0", 92, 98, 200},
        {135, 96, 1036, L"-1", L"-1", 72, 75, 200},
        {135, 96, 1054, L"6.1", L"6.1", 100, 110, 200},  // a language without corrections
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.templateId << " " << row.dpi << " " << row.language);
        RECT first = {10, 20, 300, 100};
        RECT second = {10, 110, 300, 200};
        AdjustPowerOffTexts(row.templateId, row.dpi, row.language, row.os, row.workstation, first, second);
        EXPECT_EQ(first.top, 20);
        EXPECT_EQ(first.bottom, row.firstBottom);
        EXPECT_EQ(second.top, row.secondTop);
        EXPECT_EQ(second.bottom, row.secondBottom);
    }
}

TEST(PowerAutoOffLayoutTest, TheWorkstationReportsAVersion) {
    const std::wstring version = WorkstationVersion();
    EXPECT_NE(version, L"-1");
    EXPECT_NE(version.find(L'.'), std::wstring::npos);
}

}  // namespace
}  // namespace vttest
