// The about box under Wine: its links open their addresses, and its fonts and hand cursor
// live exactly as long as the box.
#include "main.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
std::vector<std::string> Opened; // what the stand-in for ShellExecuteA was asked to open

HINSTANCE WINAPI RecordOpen(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, INT show) {
    Opened.push_back(std::string(verb) + " " + file + " " + std::to_string(show));
    return reinterpret_cast<HINSTANCE>(42);
}

class About : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(0, LiveLinkFontsForTests());
        Opened.clear();
        OpenLink = RecordOpen;
        box = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), nullptr,
                                 ScreenSaverConfigureDialog, 0);
        ASSERT_NE(nullptr, box);
    }
    void TearDown() override {
        DestroyWindow(box); // if a test has not
        EXPECT_EQ(0, LiveLinkFontsForTests()) << "a link font outlived its box";
        EXPECT_EQ(nullptr, HandCursor);
    }
    LRESULT Command(int id, WORD code) {
        return ScreenSaverConfigureDialog(box, WM_COMMAND, MAKEWPARAM(id, code),
                                          reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
    }
    HWND box = nullptr;
};
} // namespace

TEST_F(About, ClickedLinksOpenTheirAddressesAndTheBoxStays) {
    EXPECT_EQ(FALSE, Command(IDC_WEB_LINK, STN_CLICKED));
    EXPECT_EQ(FALSE, Command(IDC_MAIL_LINK, STN_CLICKED));
    for (WORD code : {WORD(STN_DBLCLK), WORD(STN_ENABLE)})
        EXPECT_EQ(TRUE, Command(IDC_WEB_LINK, code));
    const std::vector<std::string> expected = {std::string("open ") + kWebAddress + " 1",
                                               std::string("open mailto:") + kMailAddress + " 1"};
    EXPECT_EQ(expected, Opened);
    EXPECT_TRUE(IsWindow(box));
}

TEST_F(About, OneUnderlinedFontPerLinkDeletedWithTheBox) {
    EXPECT_EQ(2, LiveLinkFontsForTests());
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ original = GetCurrentObject(dc, OBJ_FONT);
    HGDIOBJ fonts[2] = {};
    for (int round = 0; round < 3; ++round)
        for (int i = 0; i < 2; ++i) {
            const int id = i == 0 ? IDC_WEB_LINK : IDC_MAIL_LINK;
            SendMessageA(box, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
            EXPECT_EQ(RGB(0, 0, 255), GetTextColor(dc));
            if (round == 0)
                fonts[i] = GetCurrentObject(dc, OBJ_FONT);
            EXPECT_EQ(fonts[i], GetCurrentObject(dc, OBJ_FONT));
            LOGFONTA description = {};
            GetObjectA(fonts[i], sizeof(description), &description);
            EXPECT_TRUE(description.lfUnderline);
        }
    EXPECT_EQ(2, LiveLinkFontsForTests());
    SelectObject(dc, original); // as a label's painting DC is given back
    DeleteDC(dc);
    DestroyWindow(box);
    EXPECT_EQ(0u, GetObjectType(fonts[0]));
    EXPECT_EQ(0u, GetObjectType(fonts[1]));
}

TEST_F(About, TheHandShowsOverTheLinksOnly) {
    ASSERT_NE(nullptr, HandCursor);
    EXPECT_NE(LoadCursor(nullptr, IDC_HAND), HandCursor) << "a copy, so that the box may destroy it";
    ShowWindow(box, SW_SHOWNOACTIVATE);
    const struct { int id; LRESULT hand; } cases[] = {{IDC_WEB_LINK, TRUE}, {IDC_MAIL_LINK, TRUE}, {IDOK, FALSE}};
    for (const auto& c : cases) {
        RECT area;
        GetWindowRect(GetDlgItem(box, c.id), &area);
        SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
        POINT at;
        GetCursorPos(&at);
        if (at.x != (area.left + area.right) / 2)
            GTEST_SKIP() << "this display does not move the cursor";
        EXPECT_EQ(c.hand, ScreenSaverConfigureDialog(box, WM_SETCURSOR, 0, HTCLIENT)) << c.id;
    }
    const HCURSOR copy = HandCursor;
    DestroyWindow(box);
    ICONINFO info = {};
    EXPECT_FALSE(GetIconInfo(copy, &info)) << "the copy outlived the box";
}
