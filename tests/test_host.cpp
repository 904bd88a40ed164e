// The Win32 host under Wine: the close policy, the password confirmation and module, the saver
// window's message filters, the dispatcher's exit codes and the fault guard.
#include "host/host.h"
#include "utility/debug.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
bool InjectFault = false;  // the saver window's creation leads to a fault
bool InjectGuard = false;  // its first paint fails a guard
bool RefuseCreate = false; // it refuses to be created
int PaintsAfterGuard = 0;
std::vector<UINT> PassedOn; // what the saver window handed on to ScreenSaverProc
} // namespace

// The application side the host calls: a stand-in that records and can misbehave.
extern "C" LRESULT WINAPI ScreenSaverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    PassedOn.push_back(msg);
    if (msg == WM_CREATE && RefuseCreate)
        return -1;
    if (msg == WM_CREATE && (InjectFault || InjectGuard)) {
        OnWin9x = true; // as on Windows 95/98 with a password: the system believes a saver runs
        SetSaverRunning(true);
        PostMessageA(hwnd, WM_APP, 0, 0);
        InvalidateRect(hwnd, nullptr, FALSE);
    }
    if (msg == WM_APP && InjectFault)
        *static_cast<volatile int*>(nullptr) = 1;
    if (msg == WM_PAINT && InjectGuard) {
        // As the GL child's frame: a failed guard in a paint, then the next paint asked for.
        static int paints = 0;
        if (++paints > 1)
            ++PaintsAfterGuard;
        GUARD(paints > 1);
        ValidateRect(hwnd, nullptr);
        InvalidateRect(hwnd, nullptr, FALSE);
        if (PaintsAfterGuard > 100)
            PostMessageA(hwnd, WM_CLOSE, 0, 0);
        return 0;
    }
    if (msg == WM_SYSCOMMAND)
        return 0; // never the system's own screen saver
    return DefScreenSaverProc(hwnd, msg, wParam, lParam);
}
extern "C" INT_PTR WINAPI ScreenSaverConfigureDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
extern "C" BOOL WINAPI RegisterDialogClasses(HANDLE) { return TRUE; }

namespace {
HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

BOOL SaverRunning() {
    BOOL running = 2;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    return running;
}

// A window whose procedure is proc, named title, as a child of parent when there is one.
HWND MakeWindow(WNDPROC proc, const char* title, HWND parent = nullptr) {
    const std::string name = "NeedlecastTest" + std::to_string(reinterpret_cast<uintptr_t>(proc));
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = proc;
    window_class.hInstance = Instance();
    window_class.lpszClassName = name.c_str();
    RegisterClassA(&window_class);
    return CreateWindowExA(0, name.c_str(), title, parent != nullptr ? WS_CHILD : WS_POPUP, 0, 0, 64, 64, parent,
                           nullptr, Instance(), nullptr);
}

// The verifier of these tests: its answers in turn, and how often it was asked.
std::vector<BOOL> Answers;
int Asked = 0;
bool ReenteredClose = false;

BOOL WINAPI TestVerifier(HWND hwnd) {
    ++Asked;
    if (CheckingPassword)
        ReenteredClose = ReenteredClose || ConfirmClose(hwnd); // refused at once while asking
    const BOOL answer = Answers.empty() ? FALSE : Answers.front();
    if (!Answers.empty())
        Answers.erase(Answers.begin());
    return answer;
}

class Host : public ::testing::Test {
protected:
    void SetUp() override {
        ResetHostState();
        Window = MakeWindow(DefScreenSaverProc, "policy");
        ASSERT_NE(nullptr, Window);
        Closes();
        GetCursorPos(&SavedCursorPos);
    }
    void TearDown() override {
        Closing = true; // let it go without the policy
        DestroyWindow(Window);
        ResetHostState();
        MSG quit;
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

    // Takes what is waiting for the window; counts the closes among it.
    int Closes() {
        int closes = 0;
        MSG message;
        while (PeekMessageA(&message, Window, 0, 0, PM_REMOVE))
            closes += message.message == WM_CLOSE ? 1 : 0;
        return closes;
    }

    bool ClosesOn(UINT msg, WPARAM wParam = 0) {
        SendMessageA(Window, msg, wParam, 0);
        return Closes() > 0;
    }

    bool MovesBy(int dx, int dy) {
        POINT now;
        GetCursorPos(&now);
        SetCursorPos(now.x + dx, now.y + dy);
        return ClosesOn(WM_MOUSEMOVE);
    }

    HWND Window = nullptr;
};
} // namespace

TEST_F(Host, WhatEndsTheSaver) {
    enum State { Running, Preview, Closed, Asking };
    const struct { UINT msg; WPARAM wParam; State state; bool closes; } cases[] = {
        {WM_KEYDOWN, 0, Running, true},          {WM_SYSKEYDOWN, 0, Running, true},
        {WM_LBUTTONDOWN, 0, Running, true},      {WM_RBUTTONDOWN, 0, Running, true},
        {WM_MBUTTONDOWN, 0, Running, true},      {WM_ACTIVATEAPP, FALSE, Running, true},
        {WM_POWER, PWR_CRITICALRESUME, Running, true}, {WM_POWERBROADCAST, 0, Running, true},
        {WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, Running, true},
        {WM_ACTIVATEAPP, TRUE, Running, false},  {WM_POWER, PWR_SUSPENDREQUEST, Running, false},
        {WM_KEYUP, 0, Running, false},           {WM_LBUTTONUP, 0, Running, false},
        {WM_LBUTTONDBLCLK, 0, Running, false},   {WM_MOUSEWHEEL, 0, Running, false},
        {WM_XBUTTONDOWN, 0, Running, false},     {WM_CHAR, 'a', Running, false},
        {WM_KEYDOWN, 0, Preview, false},         {WM_LBUTTONDOWN, 0, Preview, false},
        {WM_ACTIVATEAPP, FALSE, Preview, false}, {WM_POWERBROADCAST, 0, Preview, false},
        {WM_KEYDOWN, 0, Closed, false},          {WM_KEYDOWN, 0, Asking, false}, {WM_LBUTTONDOWN, 0, Asking, false},
    };
    for (const auto& c : cases) {
        ChildPreview = c.state == Preview, Closing = c.state == Closed, CheckingPassword = c.state == Asking;
        EXPECT_EQ(c.closes, ClosesOn(c.msg, c.wParam)) << "message 0x" << std::hex << c.msg << " state " << c.state;
    }
    ChildPreview = true;
    SavedCursorPos = {-1000, -1000};
    EXPECT_FALSE(ClosesOn(WM_MOUSEMOVE)) << "a preview ignores the pointer";
    ChildPreview = Closing = CheckingPassword = false;
    EXPECT_EQ(TRUE, SendMessageA(Window, WM_SETCURSOR, reinterpret_cast<WPARAM>(Window), 0));
}

TEST_F(Host, PointerMovesAddUpPastFourPixels) {
    SetCursorPos(300, 300);
    GetCursorPos(&SavedCursorPos);
    if (SavedCursorPos.x != 300)
        GTEST_SKIP() << "this display does not move the cursor";
    EXPECT_FALSE(MovesBy(1, 0));
    EXPECT_FALSE(MovesBy(2, 1)); // 3 right and 1 down: 4
    EXPECT_TRUE(MovesBy(1, 0));  // 5: closes, and measures from here on
    EXPECT_EQ(304, SavedCursorPos.x);
    EXPECT_EQ(301, SavedCursorPos.y);
}

// In every state: running, in a preview, closing, with a verifier (which answers TRUE).
TEST_F(Host, AutoPlayQueryClosesInEveryState) {
    AutoPlayMessage = RegisterWindowMessageA("QueryCancelAutoPlay");
    for (int state = 0; state < 4; ++state) {
        ChildPreview = state == 1, Closing = state == 2, VerifyPasswordProc = state == 3 ? TestVerifier : nullptr;
        EXPECT_EQ(state == 3 ? TRUE : FALSE, SendMessageA(Window, AutoPlayMessage, 0, 0)) << state;
        EXPECT_EQ(1, Closes()) << state;
    }
    AutoPlayMessage = 0, VerifyPasswordProc = nullptr;
    EXPECT_FALSE(ClosesOn(0)) << "unregistered, message 0 means nothing";
}

TEST_F(Host, ThePasswordDecidesTheCloseOnWindows9x) {
    VerifyPasswordProc = TestVerifier;
    Asked = 0;
    Answers = {TRUE};
    EXPECT_EQ(0, SendMessageA(Window, VERIFY_PASSWORD_MESSAGE, 0, 0)) << "the NT family has no password";
    OnWin9x = true;
    EXPECT_EQ(TRUE, SendMessageA(Window, VERIFY_PASSWORD_MESSAGE, 0, 0));
    EXPECT_EQ(1, Asked);

    // Refused: the window stays, and the pointer is measured from where it is now.
    Answers = {FALSE, TRUE};
    Asked = 0;
    ReenteredClose = false;
    SavedCursorPos = {-1000, -1000};
    SendMessageA(Window, WM_CLOSE, 0, 0);
    EXPECT_EQ(1, Asked);
    EXPECT_TRUE(IsWindow(Window));
    EXPECT_FALSE(Closing || CheckingPassword || ReenteredClose);
    POINT now;
    GetCursorPos(&now);
    EXPECT_EQ(now.x, SavedCursorPos.x);
    EXPECT_EQ(now.y, SavedCursorPos.y);
    // Within 200 ms of that prompt: refused without asking again; after, asked again.
    Sleep(120);
    SendMessageA(Window, WM_CLOSE, 0, 0);
    EXPECT_EQ(1, Asked);
    Sleep(120);
    SendMessageA(Window, WM_CLOSE, 0, 0);
    EXPECT_EQ(2, Asked);
    EXPECT_TRUE(Closing);
    EXPECT_FALSE(IsWindow(Window));

    // No verifier: closing is allowed, once; on the NT family a close goes straight through.
    ResetHostState();
    Window = MakeWindow(DefScreenSaverProc, "policy");
    OnWin9x = true;
    EXPECT_EQ(TRUE, SendMessageA(Window, VERIFY_PASSWORD_MESSAGE, 0, 0));
    EXPECT_TRUE(ConfirmClose(Window));
    EXPECT_FALSE(ConfirmClose(Window));
    ResetHostState();
    VerifyPasswordProc = TestVerifier;
    Asked = 0;
    SendMessageA(Window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(Window));
    EXPECT_EQ(0, Asked);
}

TEST_F(Host, TheSystemHearsOfASaverOnlyWithAVerifier) {
    char folder[MAX_PATH];
    GetModuleFileNameA(nullptr, folder, MAX_PATH);
    *std::strrchr(folder, '\\') = '\0';
    const DWORD zero = 0, one = 1;
    const char eight[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    const struct { DWORD type; const void* value; DWORD size; const char* module; bool verifier; } cases[] = {
        {REG_DWORD, &zero, 4, "password", false}, {REG_BINARY, eight, 8, "password", false}, // 8 bytes: unread
        {REG_DWORD, &one, 4, "nopassword", false}, {REG_DWORD, &one, 4, "password", true}};
    for (const auto& c : cases) {
        ResetHostState();
        OnWin9x = true;
        SetDllDirectoryA((std::string(folder) + "\\" + c.module).c_str());
        RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveUsePassword", c.type, c.value, c.size);
        LoadPasswordModule();
        EXPECT_EQ(c.verifier, VerifyPasswordProc != nullptr) << c.module;
        EXPECT_EQ(c.verifier, PasswordModule != nullptr) << c.module;
        EXPECT_EQ(c.verifier, GetModuleHandleA("PASSWORD.CPL") != nullptr) << c.module;
        EXPECT_EQ(c.verifier ? TRUE : FALSE, SaverRunning()) << c.module;
        UnloadPasswordModule();
        EXPECT_EQ(FALSE, SaverRunning());
    }
    SetDllDirectoryA(nullptr);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveUsePassword");
}

TEST_F(Host, TheSaverWindowFiltersItsMessages) {
    HWND saver = MakeWindow(SaverWindowProc, "Screen Saver");
    ASSERT_NE(nullptr, saver);
    const auto passed_on = [&saver](UINT msg, WPARAM wParam, LRESULT* result = nullptr) {
        PassedOn.clear();
        const LRESULT got = SendMessageA(saver, msg, wParam, 0);
        if (result != nullptr)
            *result = got;
        return !PassedOn.empty() && PassedOn.back() == msg;
    };
    LRESULT result = 1;
    for (WPARAM command : {SC_SCREENSAVE, SC_NEXTWINDOW, SC_PREVWINDOW}) {
        EXPECT_FALSE(passed_on(WM_SYSCOMMAND, command, &result)) << command;
        EXPECT_EQ(0, result);
    }
    EXPECT_TRUE(passed_on(WM_SYSCOMMAND, SC_SCREENSAVE + 1)) << "the whole wParam is compared";
    EXPECT_EQ(0, SendMessageA(saver, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Other")));
    char title[32] = "";
    GetWindowTextA(saver, title, sizeof(title));
    EXPECT_STREQ("Screen Saver", title);
    EXPECT_TRUE(passed_on(WM_TIMER, 1));
    EXPECT_TRUE(passed_on(WM_KEYDOWN, 0));
    Closes();
    EXPECT_TRUE(passed_on(WM_HELP, 0)) << "full screen: handed on";

    Closing = true;
    EXPECT_FALSE(passed_on(WM_TIMER, 1, &result));
    EXPECT_EQ(0, result);
    for (UINT msg : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_PAINT})
        EXPECT_FALSE(passed_on(msg, 0)) << "closing: default handling of 0x" << std::hex << msg;
    Closing = false;
    DestroyWindow(saver);

    // A preview hands help and context menus to the window it lives in, named as wParam.
    ChildPreview = true;
    saver = MakeWindow(SaverWindowProc, "Preview", Window);
    ASSERT_NE(nullptr, saver) << GetLastError();
    for (UINT msg : {WM_HELP, WM_CONTEXTMENU}) {
        EXPECT_FALSE(passed_on(msg, 0, &result));
        EXPECT_EQ(1, result);
        MSG posted = {};
        EXPECT_TRUE(PeekMessageA(&posted, Window, msg, msg, PM_REMOVE));
        if (msg == WM_CONTEXTMENU) { // Wine hands on a posted WM_HELP without its wParam
            EXPECT_EQ(reinterpret_cast<WPARAM>(Window), posted.wParam);
        }
    }
    EXPECT_TRUE(passed_on(WM_SYSCOMMAND, SC_SCREENSAVE));
    DestroyWindow(saver);
}

TEST(Dispatcher, ExitCodes) {
    ResetHostState();
    for (const char* tail : {"/p", "/p 0", "/p:1234", "/x", "\t/s", "/p 4294967295", "/a"})
        EXPECT_EQ(-1, ScreenSaverMain(Instance(), nullptr, tail, SW_SHOWDEFAULT)) << tail;
    // No saver window, no run: its class or the window itself could not be made.
    RefuseCreate = true;
    EXPECT_EQ(1, ScreenSaverMain(Instance(), nullptr, "/s", SW_SHOWDEFAULT));
    RefuseCreate = false;
    EXPECT_EQ(1, ScreenSaverMain(Instance(), nullptr, "/s", SW_SHOWDEFAULT)) << "class already registered";
    UnregisterClassA("WindowsScreenSaverClass", Instance());
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

// A guard that fails in a paint ends the process at once, in a child process here: no
// further paint, and the saver state switched off on the way out.
TEST(FaultGuard, AFailedGuardEndsTheProcessWithTheSaverStateOff) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    ResetHostState();
    InjectGuard = true;
    EXPECT_EXIT( {
            ScreenSaverMain(Instance(), nullptr, "/s", SW_SHOWDEFAULT);
            std::fprintf(stderr, "painted %d times after the failed guard\n", PaintsAfterGuard);
            std::exit(0);
        },
        [](int code) { return static_cast<unsigned int>(code) == EXCEPTION_BREAKPOINT; }, "");
    InjectGuard = false;
    EXPECT_EQ(FALSE, SaverRunning());
}

// Last: the faulted mode leaves its half-made window behind.
TEST(FaultGuard, AFaultEndsTheModeAndSwitchesTheSaverStateOff) {
    ResetHostState();
    InjectFault = true;
    EXPECT_EQ(static_cast<int>(EXCEPTION_ACCESS_VIOLATION), ScreenSaverMain(Instance(), nullptr, "/s", SW_SHOWDEFAULT));
    InjectFault = false;
    EXPECT_EQ(FALSE, SaverRunning());
}
