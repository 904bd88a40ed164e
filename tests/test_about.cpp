// Tests of the about box under real Win32: its resources, layout, links, fonts, cursor and closing.
#include "main.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace
{
// Whether this process can make windows at all: Wine without an X display cannot.
bool WindowsAvailable()
{
    static const bool available = [] {
        HWND probe = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        if (probe == nullptr)
            return false;
        DestroyWindow(probe);
        return true;
    }();
    return available;
}

#define REQUIRE_WINDOWS()                                                                          \
    do                                                                                             \
    {                                                                                              \
        if (!WindowsAvailable())                                                                   \
            GTEST_SKIP() << "no windows can be made here (under Wine: set DISPLAY, e.g. Xvfb)";  \
    } while (false)

// The dialog procedure, checked to be what the dialog functions take.
DLGPROC AboutProc()
{
    return &ScreenSaverConfigureDialog;
}

std::string WindowText(HWND window)
{
    char text[512] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

LOGFONTA FontDescription(HGDIOBJ font)
{
    LOGFONTA description = {};
    EXPECT_NE(0, GetObjectA(font, sizeof(description), &description));
    return description;
}

// A memory DC standing in for a label's painting DC; puts its own font back before it goes,
// as the system does with a label's DC after painting.
class MemoryDc
{
public:
    MemoryDc() : dc_(CreateCompatibleDC(nullptr)), font_(GetCurrentObject(dc_, OBJ_FONT)) {}
    ~MemoryDc()
    {
        SelectObject(dc_, font_);
        DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    operator HDC() const { return dc_; }
    HGDIOBJ Font() const { return GetCurrentObject(dc_, OBJ_FONT); }

private:
    HDC dc_;
    HGDIOBJ font_;
};

// What the stand-in for ShellExecuteA was asked to open.
struct OpenCall
{
    HWND window;
    std::string verb;
    std::string file;
    bool parameters;
    bool directory;
    INT show;
};
std::vector<OpenCall> OpenCalls;
INT_PTR OpenResult = 42; // success: above 32

HINSTANCE WINAPI RecordOpen(HWND window, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                            LPCSTR directory, INT show)
{
    OpenCalls.push_back({window, verb ? verb : "", file ? file : "", parameters != nullptr,
                         directory != nullptr, show});
    return reinterpret_cast<HINSTANCE>(OpenResult);
}

// Runs the about box modally; once its loop is going, action gets the box. A watchdog ends
// a box that is still open after ten seconds with -7, so a fault fails instead of hanging.
std::function<void(HWND)> ModalAction;
bool ModalActionDone = false;
const INT_PTR kWatchdogResult = -7;

BOOL CALLBACK FindAboutBox(HWND window, LPARAM found)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof(name));
    if (std::strcmp(name, "#32770") == 0 && GetDlgItem(window, IDC_WEB_LINK) != nullptr)
    {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

HWND OpenAboutBox()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindAboutBox, reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK ActionTimer(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND box = OpenAboutBox();
    if (box == nullptr || ModalActionDone)
        return;
    KillTimer(nullptr, timer);
    ModalActionDone = true;
    ModalAction(box);
}

void CALLBACK WatchdogTimer(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    if (HWND box = OpenAboutBox())
        EndDialog(box, kWatchdogResult);
}

INT_PTR RunModal(std::function<void(HWND)> action)
{
    EXPECT_EQ(0, LiveLinkFontsForTests()) << "a link font outlived an earlier box";
    ModalAction = std::move(action);
    ModalActionDone = false;
    const UINT_PTR act = SetTimer(nullptr, 0, 20, ActionTimer);
    const UINT_PTR watchdog = SetTimer(nullptr, 0, 10000, WatchdogTimer);
    const INT_PTR result =
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), nullptr, AboutProc(), 0);
    KillTimer(nullptr, act);
    KillTimer(nullptr, watchdog);
    EXPECT_TRUE(ModalActionDone) << "the modal loop never ran the action";
    EXPECT_EQ(0, LiveLinkFontsForTests()) << "link fonts left after the box ended";
    EXPECT_EQ(nullptr, HandCursor) << "hand cursor left after the box ended";
    return result;
}

// A modeless about box made from the real template, destroyed after each test; every test
// also checks that no underlined link font outlives its box.
class AboutBox : public ::testing::Test
{
protected:
    void SetUp() override
    {
        REQUIRE_WINDOWS();
        ASSERT_EQ(0, LiveLinkFontsForTests()) << "a link font outlived an earlier box";
        OpenCalls.clear();
        OpenResult = 42;
        OpenLink = RecordOpen;
        box = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), nullptr,
                                 AboutProc(), 0);
        ASSERT_NE(nullptr, box) << "CreateDialogParamA failed, error " << GetLastError();
    }

    void TearDown() override
    {
        if (box != nullptr && IsWindow(box))
            DestroyWindow(box);
        OpenLink = ShellExecuteA;
        EXPECT_EQ(0, LiveLinkFontsForTests()) << "link fonts left after the box was destroyed";
        EXPECT_EQ(nullptr, HandCursor) << "hand cursor left after the box was destroyed";
    }

    HWND Item(int id) const { return GetDlgItem(box, id); }

    // The about box's sunken panel: the one static without an id.
    HWND Panel() const
    {
        for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        {
            if (GetDlgCtrlID(child) == IDC_STATIC)
                return child;
        }
        return nullptr;
    }

    LRESULT ColourMessage(HDC dc, HWND control)
    {
        return SendMessageA(box, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                            reinterpret_cast<LPARAM>(control));
    }

    HWND box = nullptr;
};

const int kLinks[] = {IDC_WEB_LINK, IDC_MAIL_LINK};

// A vertical band of pixels, in screen coordinates, [top, bottom).
struct Band
{
    int top;
    int bottom;
    bool Overlaps(const Band& other) const { return top < other.bottom && other.top < bottom; }
};

// Height of a line of a control's text in its own font.
int LineHeight(HWND control)
{
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return metrics.tmHeight;
}

// Client rectangle of a control in screen coordinates.
RECT ScreenClient(HWND control)
{
    RECT area;
    GetClientRect(control, &area);
    MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

// A control's client area as pixels: what the screen shows, or what the control draws alone.
struct Picture
{
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Picture Capture(HWND control, bool alone)
{
    RECT area;
    GetClientRect(control, &area);
    Picture picture;
    picture.width = area.right;
    picture.height = area.bottom;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    if (alone)
    {
        SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    }
    else
    {
        HDC screen = GetDC(control);
        BitBlt(dc, 0, 0, picture.width, picture.height, screen, 0, 0, SRCCOPY);
        ReleaseDC(control, screen);
    }
    GdiFlush();
    const DWORD* pixel = static_cast<const DWORD*>(bits);
    for (int i = 0; i < picture.width * picture.height; ++i)
        picture.pixels.push_back(RGB((pixel[i] >> 16) & 255, (pixel[i] >> 8) & 255, pixel[i] & 255));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return picture;
}

// Width of a control's text in its own font.
int TextWidth(HWND control)
{
    const std::string text = WindowText(control);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return extent.cx;
}
} // namespace

// --- Resources -------------------------------------------------------------------------------

TEST(AboutResources, NameAndDescriptionStrings)
{
    char text[64] = {};
    EXPECT_EQ(10, LoadStringA(GetModuleHandleA(nullptr), IDS_DESCRIPTION, text, sizeof(text)));
    EXPECT_STREQ("Needlecast", text);
    EXPECT_EQ(10, LoadStringA(GetModuleHandleA(nullptr), IDS_APP_NAME, text, sizeof(text)));
    EXPECT_STREQ("Needlecast", text);
}

#pragma pack(push, 2)
struct IconGroupEntry
{
    BYTE width;
    BYTE height;
    BYTE colours;
    BYTE reserved;
    WORD planes;
    WORD bits;
    DWORD bytes;
    WORD id;
};
struct IconGroup
{
    WORD reserved;
    WORD type;
    WORD count;
    IconGroupEntry entries[1];
};
#pragma pack(pop)

TEST(AboutResources, IconGroupHoldsSharpTrueColourSizes)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC group_info = FindResourceA(module, MAKEINTRESOURCEA(IDI_APP), MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
    ASSERT_NE(nullptr, group_info);
    const auto* group = static_cast<const IconGroup*>(LockResource(LoadResource(module, group_info)));
    ASSERT_NE(nullptr, group);
    ASSERT_EQ(4, group->count);
    const IconGroupEntry* entries = &group->entries[0];
    // 16x16, 48x48 and 256x256 (written as 0) in 32-bit colour besides the 16-colour image.
    for (int size : {16, 48, 256})
    {
        bool found = false;
        for (int i = 0; i < group->count; ++i)
            found = found || (entries[i].width == size % 256 && entries[i].height == size % 256 && entries[i].bits == 32);
        EXPECT_TRUE(found) << size;
    }
}

TEST(AboutResources, IconIsOne32By32SixteenColourImage)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC group_info = FindResourceA(module, MAKEINTRESOURCEA(IDI_APP), MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
    ASSERT_NE(nullptr, group_info);
    const auto* group = static_cast<const IconGroup*>(LockResource(LoadResource(module, group_info)));
    ASSERT_NE(nullptr, group);
    ASSERT_EQ(1, group->type);
    ASSERT_GE(group->count, 1);
    const IconGroupEntry* entries = &group->entries[0];
    int sixteen = -1;
    for (int i = 0; i < group->count; ++i)
        if (entries[i].width == 32 && entries[i].colours == 16)
            sixteen = i;
    ASSERT_GE(sixteen, 0) << "no 32x32 16-colour image";
    const IconGroupEntry& entry = entries[sixteen];
    EXPECT_EQ(32, entry.width);
    EXPECT_EQ(32, entry.height);
    EXPECT_EQ(16, entry.colours);
    EXPECT_EQ(4, entry.bits);

    // The image itself: a 4-bit DIB whose two halves (colours, mask) fill the stated size.
    HRSRC image_info = FindResourceA(module, MAKEINTRESOURCEA(entry.id), MAKEINTRESOURCEA(3) /* RT_ICON */);
    ASSERT_NE(nullptr, image_info);
    ASSERT_EQ(entry.bytes, SizeofResource(module, image_info));
    const auto* image = static_cast<const BYTE*>(LockResource(LoadResource(module, image_info)));
    BITMAPINFOHEADER header;
    std::memcpy(&header, image, sizeof(header));
    EXPECT_EQ(32, header.biWidth);
    EXPECT_EQ(64, header.biHeight);
    EXPECT_EQ(4, header.biBitCount);
    EXPECT_EQ(static_cast<DWORD>(sizeof(header) + 16 * 4 + 32 * 16 + 32 * 4), entry.bytes);

    // A picture rather than a blank: mostly black, with pale lines and needles in other colours.
    const RGBQUAD* palette = reinterpret_cast<const RGBQUAD*>(image + sizeof(header));
    const BYTE* bits = image + sizeof(header) + 16 * sizeof(RGBQUAD);
    int black = 0;
    bool used[16] = {};
    for (int i = 0; i < 32 * 32; ++i)
    {
        const int index = i % 2 == 0 ? bits[i / 2] >> 4 : bits[i / 2] & 15;
        used[index] = true;
        const RGBQUAD& colour = palette[index];
        black += colour.rgbRed == 0 && colour.rgbGreen == 0 && colour.rgbBlue == 0;
    }
    EXPECT_GT(black, 32 * 32 / 2);
    int colours = 0;
    for (bool u : used)
        colours += u;
    EXPECT_GE(colours, 4);
}

TEST(AboutResources, IconLoads)
{
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP));
    ASSERT_NE(nullptr, icon);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP mask = {};
    GetObjectA(info.hbmMask, sizeof(mask), &mask);
    EXPECT_EQ(32, mask.bmWidth);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

TEST(AboutResources, NoDialogClassesToRegister)
{
    EXPECT_EQ(TRUE, RegisterDialogClasses(GetModuleHandleA(nullptr)));
}

// --- The box as the template builds it ---------------------------------------------------------

TEST_F(AboutBox, ShowsTheProjectsWording)
{
    EXPECT_EQ("Needlecast", WindowText(box));
    EXPECT_EQ(0, GetWindowLongA(box, GWL_STYLE) & WS_SYSMENU) << "the box should have no close box";

    ASSERT_NE(nullptr, Panel());
    const std::string panel = WindowText(Panel());
    // Blank lines first, then the name, version, maker, date and rights, each a line of its own.
    const size_t name = panel.find("\nNeedlecast\nVersion 1.0\n");
    EXPECT_NE(std::string::npos, name) << panel;
    EXPECT_EQ(name + 1, panel.find_first_not_of('\n')) << panel;
    size_t previous = name;
    for (const char* line : {kAboutMaker, kAboutRelease, kAboutRights})
    {
        const size_t at = panel.find(std::string("\n") + line);
        EXPECT_NE(std::string::npos, at) << line;
        EXPECT_GT(at, previous) << line;
        previous = at;
    }
    EXPECT_EQ(panel.size(), previous + 1 + std::strlen(kAboutRights)) << "the rights line ends the text";

    EXPECT_EQ(kMailAddress, WindowText(Item(IDC_MAIL_LINK)));
    const std::string web = WindowText(Item(IDC_WEB_LINK));
    EXPECT_FALSE(web.empty());
    EXPECT_NE(std::string::npos, std::string(kWebAddress).find(web)) << web;
    EXPECT_EQ(std::string("mailto:") + kMailAddress, kMailLink);
}

TEST_F(AboutBox, LinkLabelsFitTheirControls)
{
    for (int id : kLinks)
    {
        SCOPED_TRACE(id);
        HWND label = Item(id);
        RECT area;
        GetClientRect(label, &area);
        EXPECT_LE(TextWidth(label), area.right) << WindowText(label);
        EXPECT_LE(LineHeight(label), area.bottom) << WindowText(label);
    }
}

// The labels lie over the sunken panel and fill their whole rectangles when they paint, so
// each rectangle must lie over blank lines of the panel's text only.
TEST_F(AboutBox, LinkLabelsLieOverBlankLinesOfThePanel)
{
    HWND panel = Panel();
    ASSERT_NE(nullptr, panel);
    const RECT panel_area = ScreenClient(panel);
    const int height = LineHeight(panel);

    // Where each line of the panel's text falls, wrapping long lines as the static does.
    HDC dc = GetDC(panel);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(panel, WM_GETFONT, 0, 0)));
    std::vector<Band> words;
    int top = panel_area.top;
    const std::string text = WindowText(panel);
    size_t start = 0;
    while (start <= text.size())
    {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        int line_height = height;
        if (!line.empty())
        {
            RECT measure = {0, 0, panel_area.right - panel_area.left, 0};
            line_height = DrawTextA(dc, line.c_str(), static_cast<int>(line.size()), &measure,
                                    DT_CALCRECT | DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS);
            words.push_back({top, top + line_height});
        }
        top += line_height;
        start = end + 1;
    }
    SelectObject(dc, old);
    ReleaseDC(panel, dc);
    EXPECT_LE(top, panel_area.bottom) << "the panel's text runs past its bottom";

    for (int id : kLinks)
    {
        SCOPED_TRACE(id);
        const RECT area = ScreenClient(Item(id));
        EXPECT_GE(area.top, panel_area.top);
        EXPECT_LE(area.bottom, panel_area.bottom);
        EXPECT_GE(area.left, panel_area.left);
        EXPECT_LE(area.right, panel_area.right);
        const Band label = {area.top, area.bottom};
        for (const Band& band : words)
            EXPECT_FALSE(label.Overlaps(band)) << "label " << label.top << ".." << label.bottom
                                               << " over panel text " << band.top << ".." << band.bottom;
    }
}

// --- Link colours and fonts --------------------------------------------------------------------

TEST_F(AboutBox, LinksDrawBlueUnderlinedOnTheMenuBrush)
{
    const LOGFONTA dialog = FontDescription(reinterpret_cast<HGDIOBJ>(SendMessageA(box, WM_GETFONT, 0, 0)));
    EXPECT_FALSE(dialog.lfUnderline);
    for (int id : kLinks)
    {
        SCOPED_TRACE(id);
        HWND label = Item(id);
        MemoryDc dc;
        const LRESULT brush = ColourMessage(dc, label);
        EXPECT_EQ(reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_MENU)), brush);
        EXPECT_EQ(RGB(0, 0, 255), GetTextColor(dc));
        EXPECT_EQ(TRANSPARENT, GetBkMode(dc));

        // An underlined copy of the dialog's font, not some other face or size; the label
        // holds the same font as its own, whichever it selects last when it paints.
        const LOGFONTA drawn = FontDescription(dc.Font());
        EXPECT_TRUE(drawn.lfUnderline);
        EXPECT_STREQ(dialog.lfFaceName, drawn.lfFaceName);
        EXPECT_EQ(dialog.lfHeight, drawn.lfHeight);
        EXPECT_EQ(dialog.lfWeight, drawn.lfWeight);
        EXPECT_EQ(dialog.lfCharSet, drawn.lfCharSet);
        EXPECT_EQ(reinterpret_cast<LRESULT>(dc.Font()), SendMessageA(label, WM_GETFONT, 0, 0));
    }

    // The panel keeps the dialog's plain font.
    EXPECT_FALSE(FontDescription(reinterpret_cast<HGDIOBJ>(SendMessageA(Panel(), WM_GETFONT, 0, 0))).lfUnderline);
}

TEST_F(AboutBox, PanelTextIsLeftToTheDialog)
{
    MemoryDc dc;
    const COLORREF colour = GetTextColor(dc);
    const HGDIOBJ font = dc.Font();
    EXPECT_EQ(FALSE, ScreenSaverConfigureDialog(box, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(static_cast<HDC>(dc)),
                                                reinterpret_cast<LPARAM>(Panel())));
    EXPECT_EQ(colour, GetTextColor(dc));
    EXPECT_EQ(font, dc.Font());
    EXPECT_EQ(2, LiveLinkFontsForTests()) << "only the two links' fonts";
}

TEST_F(AboutBox, OneFontPerLinkHoweverOftenItPaints)
{
    EXPECT_EQ(2, LiveLinkFontsForTests()) << "one per link as the box opens";
    HGDIOBJ first[2] = {};
    {
        MemoryDc dc;
        for (int round = 0; round < 5; ++round)
        {
            for (int i = 0; i < 2; ++i)
            {
                ColourMessage(dc, Item(kLinks[i]));
                if (round == 0)
                    first[i] = dc.Font();
                EXPECT_EQ(first[i], dc.Font()) << "round " << round << ", link " << kLinks[i];
            }
        }
        EXPECT_NE(first[0], first[1]);
        EXPECT_EQ(2, LiveLinkFontsForTests());
    }

    DestroyWindow(box);
    EXPECT_EQ(0, LiveLinkFontsForTests());
    EXPECT_EQ(0u, GetObjectType(first[0])) << "web link font not deleted";
    EXPECT_EQ(0u, GetObjectType(first[1])) << "mail link font not deleted";
}

TEST_F(AboutBox, ANewBoxMakesFreshFonts)
{
    {
        MemoryDc dc;
        ColourMessage(dc, Item(IDC_WEB_LINK));
    }
    DestroyWindow(box);
    ASSERT_EQ(0, LiveLinkFontsForTests());

    box = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), nullptr, AboutProc(), 0);
    ASSERT_NE(nullptr, box);
    MemoryDc dc;
    ColourMessage(dc, Item(IDC_WEB_LINK));
    EXPECT_EQ(2, LiveLinkFontsForTests());
    EXPECT_EQ(static_cast<DWORD>(OBJ_FONT), GetObjectType(dc.Font()));
    EXPECT_TRUE(FontDescription(dc.Font()).lfUnderline);
}

// The box painted for real: the labels ask for their colours, show blue text with an
// underline, repaints add no fonts, and the labels hide none of the panel's words.
TEST_F(AboutBox, PaintedLinksAreBlueAndUnderlined)
{
    ShowWindow(box, SW_SHOWNOACTIVATE);
    UpdateWindow(box);
    for (int i = 0; i < 3; ++i)
        RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ(2, LiveLinkFontsForTests());

    for (int id : kLinks)
    {
        SCOPED_TRACE(id);
        HWND label = Item(id);
        const Picture shown = Capture(label, false);
        int blue = 0;
        int longest_run = 0;
        for (int y = 0; y < shown.height; ++y)
        {
            int run = 0;
            for (int x = 0; x < shown.width; ++x)
            {
                const bool is_blue = shown.At(x, y) == RGB(0, 0, 255);
                blue += is_blue;
                run = is_blue ? run + 1 : 0;
                longest_run = run > longest_run ? run : longest_run;
            }
        }
        EXPECT_GT(blue, 20) << "no blue link text on screen";
        // The underline: one unbroken blue row under most of the text.
        EXPECT_GE(longest_run, TextWidth(label) * 3 / 4) << "no underline";
    }
}

TEST_F(AboutBox, PaintedLabelsHideNoneOfThePanelsWords)
{
    ShowWindow(box, SW_SHOWNOACTIVATE);
    RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);

    // The panel drawn alone, then what the screen shows where it draws its words.
    HWND panel = Panel();
    const Picture alone = Capture(panel, true);
    const Picture shown = Capture(panel, false);
    ASSERT_EQ(alone.width, shown.width);
    const COLORREF background = alone.At(0, 0);
    int words = 0;
    int hidden = 0;
    for (int y = 0; y < alone.height; ++y)
    {
        for (int x = 0; x < alone.width; ++x)
        {
            if (alone.At(x, y) == background)
                continue;
            ++words;
            hidden += shown.At(x, y) != alone.At(x, y);
        }
    }
    EXPECT_GT(words, 200) << "the panel drew no text";
    EXPECT_EQ(0, hidden) << "of " << words << " pixels of the panel's words";
}

// --- Clicks and closing ------------------------------------------------------------------------

TEST_F(AboutBox, ClickingALinkOpensItsAddress)
{
    ShowWindow(box, SW_SHOWNOACTIVATE);
    struct
    {
        int id;
        const char* address;
    } const links[] = {{IDC_WEB_LINK, kWebAddress}, {IDC_MAIL_LINK, kMailLink}};
    for (const auto& link : links)
    {
        SCOPED_TRACE(link.address);
        OpenCalls.clear();
        SendMessageA(box, WM_COMMAND, MAKEWPARAM(link.id, STN_CLICKED), reinterpret_cast<LPARAM>(Item(link.id)));
        ASSERT_EQ(1u, OpenCalls.size());
        EXPECT_EQ(box, OpenCalls[0].window);
        EXPECT_EQ("open", OpenCalls[0].verb);
        EXPECT_EQ(link.address, OpenCalls[0].file);
        EXPECT_FALSE(OpenCalls[0].parameters);
        EXPECT_FALSE(OpenCalls[0].directory);
        EXPECT_EQ(SW_SHOWNORMAL, OpenCalls[0].show);
        EXPECT_TRUE(IsWindow(box));
        EXPECT_TRUE(IsWindowVisible(box)) << "the click ended the box";
    }
}

TEST_F(AboutBox, OtherLinkNotificationsOpenNothing)
{
    for (int id : kLinks)
    {
        for (WORD code : {WORD(STN_DBLCLK), WORD(STN_ENABLE), WORD(STN_DISABLE)})
        {
            EXPECT_EQ(TRUE, ScreenSaverConfigureDialog(box, WM_COMMAND, MAKEWPARAM(id, code),
                                                       reinterpret_cast<LPARAM>(Item(id))));
        }
    }
    EXPECT_TRUE(OpenCalls.empty());
}

TEST_F(AboutBox, AFailedOpenLeavesTheBoxAsItWas)
{
    ShowWindow(box, SW_SHOWNOACTIVATE);
    OpenResult = SE_ERR_NOASSOC;
    EXPECT_EQ(FALSE, ScreenSaverConfigureDialog(box, WM_COMMAND, MAKEWPARAM(IDC_WEB_LINK, STN_CLICKED),
                                                reinterpret_cast<LPARAM>(Item(IDC_WEB_LINK))));
    EXPECT_EQ(1u, OpenCalls.size());
    EXPECT_TRUE(IsWindowVisible(box));
}

TEST(AboutModal, OkEndsTheBoxWithOne)
{
    REQUIRE_WINDOWS();
    EXPECT_EQ(IDOK, RunModal([](HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); }));
}

TEST(AboutModal, CancelEndsTheBoxWithTwo)
{
    REQUIRE_WINDOWS();
    EXPECT_EQ(IDCANCEL, RunModal([](HWND box) { PostMessageA(box, WM_COMMAND, IDCANCEL, 0); }));
}

// The keys themselves, through the dialog manager's own handling.
TEST(AboutModal, EnterPressesOk)
{
    REQUIRE_WINDOWS();
    EXPECT_EQ(IDOK, RunModal([](HWND box) { PostMessageA(box, WM_KEYDOWN, VK_RETURN, 1); }));
}

TEST(AboutModal, EscapeClosesTheBox)
{
    REQUIRE_WINDOWS();
    EXPECT_EQ(IDCANCEL, RunModal([](HWND box) { PostMessageA(box, WM_KEYDOWN, VK_ESCAPE, 1); }));
}

TEST(AboutModal, LinkClicksDoNotEndTheBox)
{
    REQUIRE_WINDOWS();
    OpenCalls.clear();
    OpenResult = 42;
    OpenLink = RecordOpen;
    const INT_PTR result = RunModal([](HWND box) {
        for (int id : kLinks)
            SendMessageA(box, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
        // Only this may end the box; a click that ended it would return before it is read.
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    OpenLink = ShellExecuteA;
    EXPECT_EQ(IDCANCEL, result);
    ASSERT_EQ(2u, OpenCalls.size());
    EXPECT_EQ(kWebAddress, OpenCalls[0].file);
    EXPECT_EQ(kMailLink, OpenCalls[1].file);
}

// --- The hand cursor ---------------------------------------------------------------------------

TEST_F(AboutBox, HandCursorIsAPrivateCopyDestroyedWithTheBox)
{
    ASSERT_NE(nullptr, HandCursor);
    HCURSOR shared = LoadCursor(nullptr, IDC_HAND);
    EXPECT_NE(shared, HandCursor) << "WM_DESTROY would destroy the system's own cursor";
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(HandCursor, &info));
    EXPECT_FALSE(info.fIcon);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    const HCURSOR copy = HandCursor;
    DestroyWindow(box);
    EXPECT_EQ(nullptr, HandCursor);
    EXPECT_FALSE(GetIconInfo(copy, &info)) << "the copy was not destroyed";

    // The system's hand is still there for everyone else.
    ASSERT_TRUE(GetIconInfo(LoadCursor(nullptr, IDC_HAND), &info));
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

TEST_F(AboutBox, HandOverLinksOnly)
{
    // Moves the pointer onto the centre of a control; false where the pointer cannot be placed.
    auto point_at = [](HWND control) {
        RECT area;
        GetWindowRect(control, &area);
        const POINT target = {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
        POINT now = {};
        return SetCursorPos(target.x, target.y) && GetCursorPos(&now) && now.x == target.x && now.y == target.y;
    };
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    const LPARAM hit = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);

    for (int id : kLinks)
    {
        SCOPED_TRACE(id);
        if (!point_at(Item(id)))
            GTEST_SKIP() << "SetCursorPos/GetCursorPos do not round-trip here (no pointer to move)";
        SetCursor(arrow);
        SetWindowLongPtrA(box, DWLP_MSGRESULT, 0);
        EXPECT_EQ(TRUE, SendMessageA(box, WM_SETCURSOR, reinterpret_cast<WPARAM>(Item(id)), hit));
        EXPECT_EQ(TRUE, GetWindowLongPtrA(box, DWLP_MSGRESULT));
        EXPECT_EQ(HandCursor, GetCursor());
    }

    // Over the OK button the dialog leaves the cursor to the system.
    ASSERT_TRUE(point_at(Item(IDOK)));
    SetCursor(arrow);
    EXPECT_EQ(FALSE, ScreenSaverConfigureDialog(box, WM_SETCURSOR, reinterpret_cast<WPARAM>(Item(IDOK)), hit));
    EXPECT_EQ(arrow, GetCursor());
}
