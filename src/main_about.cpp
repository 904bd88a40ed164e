// The about box (the saver's configure mode): its dialog procedure, the links and their hand cursor.
#include "main.h"

#include "utility/debug.h"

#include <shellapi.h>

#include <cstring>

HCURSOR HandCursor = nullptr;

HINSTANCE(WINAPI* OpenLink)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT) = ShellExecuteA;

namespace
{
// The two link labels, in the order of LinkFonts.
const int kLinkIds[2] = {IDC_WEB_LINK, IDC_MAIL_LINK};

// Underlined copies of the link labels' font, one per link. Each is made when the box opens
// (or, failing that, at the label's first paint) and lives until the box is destroyed.
// A label gets its font two ways: as its own font (WM_SETFONT), for a static control that
// selects its own font after asking for its colours, as Wine's does; and selected in
// WM_CTLCOLORSTATIC, for one that selects its font first. Either way the font ends up in the
// label's painting DC, which the label releases after the paint without telling us, so the
// font is only known to be free once the box is being destroyed: that is when it is deleted.
// Nothing makes another while one exists, so there is never more than one per link.
HFONT LinkFonts[2] = {};

// Fonts made and not yet deleted; a failed delete stays counted, as it is a leak.
int LiveLinkFonts = 0;

// Which link a control is (0 or 1), or -1 for any other control.
int LinkIndex(HWND hDlg, HWND control)
{
    if (control == nullptr)
        return -1;
    for (int i = 0; i < 2; ++i)
    {
        if (control == GetDlgItem(hDlg, kLinkIds[i]))
            return i;
    }
    return -1;
}

// The underlined font of a link, made from the label's font the first time it is asked for.
// dc is the label's painting DC, or none when the box is opening.
HFONT LinkFont(int index, HWND control, HDC dc)
{
    if (LinkFonts[index] != nullptr)
        return LinkFonts[index];

    // The dialog gave every control its font; without one the label draws in the DC's font.
    HGDIOBJ base = reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0));
    if (base == nullptr)
        base = dc != nullptr ? GetCurrentObject(dc, OBJ_FONT) : GetStockObject(SYSTEM_FONT);
    if (base == nullptr)
        return nullptr;

    LOGFONTA description;
    if (GetObjectA(base, sizeof(description), &description) == 0)
        return nullptr;
    description.lfUnderline = TRUE;
    LinkFonts[index] = CreateFontIndirectA(&description);
    if (LinkFonts[index] != nullptr)
        ++LiveLinkFonts;
    return LinkFonts[index];
}

// Gives both link labels their underlined font as the box opens.
void UnderlineLinks(HWND hDlg)
{
    for (int i = 0; i < 2; ++i)
    {
        HWND control = GetDlgItem(hDlg, kLinkIds[i]);
        if (control == nullptr)
            continue;
        HFONT font = LinkFont(i, control, nullptr);
        if (font != nullptr)
            SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}

void DeleteLinkFonts()
{
    for (HFONT& font : LinkFonts)
    {
        if (font != nullptr && DeleteObject(font))
            --LiveLinkFonts;
        font = nullptr;
    }
}

// Hands an address to the shell (or whatever stands in for it).
void OpenAddress(HWND hDlg, const char* address)
{
    const INT_PTR result =
        reinterpret_cast<INT_PTR>(OpenLink(hDlg, "open", address, nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32)
        Trace("::ShellExecute failed with error code %d.\n", static_cast<int>(result));
}

// Whether the pointer is over one of the link labels.
bool CursorOverLink(HWND hDlg)
{
    POINT point;
    if (!GetCursorPos(&point))
        return false;
    for (int id : kLinkIds)
    {
        HWND control = GetDlgItem(hDlg, id);
        RECT area;
        if (control != nullptr && GetWindowRect(control, &area) && PtInRect(&area, point))
            return true;
    }
    return false;
}
} // namespace

int LiveLinkFontsForTests()
{
    return LiveLinkFonts;
}

extern "C" BOOL WINAPI RegisterDialogClasses(HANDLE hInstance)
{
    (void)hInstance;
    return TRUE;
}

void LoadHandCursor()
{
    // One about box at a time: a second call keeps the copy it already has.
    if (HandCursor != nullptr)
        return;

    // Old systems have no IDC_HAND; Windows Help carries a hand as cursor 106.
    const char kHelpProgram[] = "\\winhlp32.exe";
    char path[360];
    const UINT length = GetWindowsDirectoryA(path, sizeof(path));
    if (length > 0 && length + sizeof(kHelpProgram) <= sizeof(path))
    {
        std::strcat(path, path[length - 1] == '\\' ? kHelpProgram + 1 : kHelpProgram);
        HMODULE help = LoadLibraryA(path);
        if (help != nullptr)
        {
            HCURSOR hand = LoadCursorA(help, MAKEINTRESOURCEA(106));
            if (hand != nullptr)
                HandCursor = CopyIcon(hand);
            FreeLibrary(help);
        }
    }

    // The system's own hand, copied so that WM_DESTROY may destroy what HandCursor holds.
    if (HandCursor == nullptr)
    {
        HCURSOR hand = LoadCursor(nullptr, IDC_HAND);
        if (hand != nullptr)
            HandCursor = CopyIcon(hand);
    }

    if (HandCursor == nullptr)
        Trace("WARNING: ScreenSaverConfigureDialog:WM_INITDIALOG: unable to create hand cursor.\n");
}

extern "C" __declspec(dllexport) INT_PTR WINAPI ScreenSaverConfigureDialog(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_INITDIALOG:
        Trace("ScreenSaverConfigureDialog:WM_INITDIALOG\n");
        LoadHandCursor();
        UnderlineLinks(hDlg);
        return TRUE;

    case WM_SETCURSOR:
        if (HandCursor != nullptr && CursorOverLink(hDlg))
        {
            SetCursor(HandCursor);
            SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;

    case WM_CTLCOLORSTATIC:
    {
        Trace("ScreenSaverConfigureDialog:WM_CTLCOLORSTATIC\n");
        HDC hdc = reinterpret_cast<HDC>(wParam);
        HWND control = reinterpret_cast<HWND>(lParam);
        const int link = LinkIndex(hDlg, control);
        if (link < 0)
            return FALSE;

        SetTextColor(hdc, RGB(0, 0, 255));
        SetBkMode(hdc, TRANSPARENT);
        HFONT font = LinkFont(link, control, hdc);
        if (font != nullptr)
            SelectObject(hdc, font);
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_MENU));
    }

    case WM_COMMAND:
        switch (LOWORD(wParam))
        {
        case IDOK:
            Trace("ScreenSaverConfigureDialog:IDOK\n");
            EndDialog(hDlg, IDOK);
            return FALSE;

        case IDCANCEL:
            // Escape closes the box as well.
            Trace("ScreenSaverConfigureDialog:IDCANCEL\n");
            EndDialog(hDlg, IDCANCEL);
            return FALSE;

        case IDC_WEB_LINK:
            if (HIWORD(wParam) == STN_CLICKED)
            {
                OpenAddress(hDlg, kWebAddress);
                return FALSE;
            }
            return TRUE;

        case IDC_MAIL_LINK:
            if (HIWORD(wParam) == STN_CLICKED)
            {
                OpenAddress(hDlg, kMailLink);
                return FALSE;
            }
            return TRUE;

        default:
            return TRUE;
        }

    case WM_DESTROY:
        if (HandCursor != nullptr)
        {
            DestroyCursor(HandCursor);
            HandCursor = nullptr;
        }
        // The labels still name their fonts but paint no more: the box's children go next.
        DeleteLinkFonts();
        return TRUE;

    default:
        return FALSE;
    }
}
