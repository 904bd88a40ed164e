// Tests of the default saver message policy and the password confirmation, with real
// messages sent to a real window under Wine.
#include "host/host.h"
#include "utility/debug.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace
{
// Set by the fault-guard test: the saver window's creation then faults.
bool InjectFault = false;
// Set by the failed-guard test: the saver window's first paint fails a guard.
bool InjectGuard = false;
int PaintsAfterGuard = 0;
// Set by the no-window test: the saver window refuses to be created.
bool RefuseCreate = false;
} // namespace

// The application side the host calls; these tests need none of it.
extern "C" LRESULT WINAPI ScreenSaverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CREATE && RefuseCreate)
        return -1;
    if (msg == WM_CREATE && InjectFault)
    {
        // As on Windows 95/98 with a password: the system believes a saver runs.
        OnWin9x = true;
        SetSaverRunning(true);
        PostMessageA(hwnd, WM_APP, 0, 0);
    }
    if (msg == WM_APP && InjectFault)
        *static_cast<volatile int*>(nullptr) = 1; // from the message loop
    if (msg == WM_CREATE && InjectGuard)
    {
        OnWin9x = true;
        SetSaverRunning(true);
        InvalidateRect(hwnd, nullptr, FALSE);
    }
    if (msg == WM_PAINT && InjectGuard)
    {
        // As the GL child's frame does: a failed guard in a paint, then the next paint asked for.
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
    return DefScreenSaverProc(hwnd, msg, wParam, lParam);
}
extern "C" INT_PTR WINAPI ScreenSaverConfigureDialog(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}
extern "C" BOOL WINAPI RegisterDialogClasses(HANDLE)
{
    return TRUE;
}

namespace
{
// A plain window whose procedure is DefScreenSaverProc, and a look at what it posts.
class Policy : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetHostState();
        static bool registered = false;
        if (!registered)
        {
            WNDCLASSA window_class = {};
            window_class.lpfnWndProc = DefScreenSaverProc;
            window_class.hInstance = GetModuleHandleA(nullptr);
            window_class.lpszClassName = "NeedlecastPolicyTest";
            RegisterClassA(&window_class);
            registered = true;
        }
        Window = CreateWindowExA(0, "NeedlecastPolicyTest", "policy", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, Window);
        DrainQueue();
        GetCursorPos(&SavedCursorPos);
    }

    void TearDown() override
    {
        if (IsWindow(Window))
        {
            Closing = true; // let it go without the policy
            DestroyWindow(Window);
        }
        ResetHostState();
    }

    // Removes what is waiting; counts the closes posted to the window.
    int PostedCloses()
    {
        int closes = 0;
        MSG message;
        while (PeekMessageA(&message, Window, 0, 0, PM_REMOVE))
        {
            if (message.message == WM_CLOSE)
                ++closes;
        }
        return closes;
    }

    void DrainQueue() { PostedCloses(); }

    // Moves the cursor by (dx, dy) from where it is, sends the mouse-move message, and
    // says whether a close was posted.
    bool MoveBy(int dx, int dy)
    {
        POINT now;
        GetCursorPos(&now);
        SetCursorPos(now.x + dx, now.y + dy);
        SendMessageA(Window, WM_MOUSEMOVE, 0, 0);
        return PostedCloses() > 0;
    }

    bool ClosesOn(UINT msg, WPARAM wParam = 0)
    {
        SendMessageA(Window, msg, wParam, 0);
        return PostedCloses() > 0;
    }

    HWND Window = nullptr;
};

bool CursorFollowsSetCursorPos()
{
    POINT before;
    GetCursorPos(&before);
    SetCursorPos(before.x + 7, before.y + 3);
    POINT after;
    GetCursorPos(&after);
    SetCursorPos(before.x, before.y);
    return after.x == before.x + 7 && after.y == before.y + 3;
}

// The test verifier: its answers, and how often it was asked.
std::vector<BOOL> Answers;
int Asked = 0;
bool PromptCouldReenter = false;
HWND PromptWindow = nullptr;

BOOL WINAPI TestVerifier(HWND hwnd)
{
    ++Asked;
    PromptWindow = hwnd;
    // While the prompt is up, a second close request is refused at once.
    if (CheckingPassword)
        PromptCouldReenter = ConfirmClose(hwnd);
    const BOOL answer = Answers.empty() ? FALSE : Answers.front();
    if (!Answers.empty())
        Answers.erase(Answers.begin());
    return answer;
}
} // namespace

TEST_F(Policy, MouseThresholdIsFourPixelsCityBlock)
{
    if (!CursorFollowsSetCursorPos())
        GTEST_SKIP() << "this display does not move the cursor";
    SetCursorPos(300, 300);
    GetCursorPos(&SavedCursorPos);
    EXPECT_FALSE(MoveBy(3, 1)); // d = 4
    EXPECT_TRUE(MoveBy(1, 0));  // d = 5 from the saved position
    // The saved position moved to where the close was posted.
    POINT now;
    GetCursorPos(&now);
    EXPECT_EQ(now.x, SavedCursorPos.x);
    EXPECT_EQ(now.y, SavedCursorPos.y);
}

TEST_F(Policy, SlowDriftAddsUp)
{
    if (!CursorFollowsSetCursorPos())
        GTEST_SKIP() << "this display does not move the cursor";
    SetCursorPos(300, 300);
    GetCursorPos(&SavedCursorPos);
    EXPECT_FALSE(MoveBy(1, 0));
    EXPECT_FALSE(MoveBy(0, -1));
    EXPECT_FALSE(MoveBy(1, 0));
    EXPECT_FALSE(MoveBy(0, -1)); // d = 4 in four steps of 1
    EXPECT_TRUE(MoveBy(1, 0));   // d = 5
}

TEST_F(Policy, KeysAndButtonPressesClose)
{
    const UINT presses[] = {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    for (UINT msg : presses)
        EXPECT_TRUE(ClosesOn(msg)) << msg;
}

TEST_F(Policy, ReleasesWheelAndDoubleClicksDoNot)
{
    const UINT ignored[] = {WM_KEYUP,         WM_SYSKEYUP,      WM_LBUTTONUP,  WM_RBUTTONUP,   WM_MBUTTONUP, WM_LBUTTONDBLCLK,
                            WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK, WM_MOUSEWHEEL, WM_XBUTTONDOWN, WM_CHAR};
    for (UINT msg : ignored)
        EXPECT_FALSE(ClosesOn(msg)) << msg;
}

TEST_F(Policy, LosingActivationClosesGainingDoesNot)
{
    EXPECT_FALSE(ClosesOn(WM_ACTIVATEAPP, TRUE));
    EXPECT_TRUE(ClosesOn(WM_ACTIVATEAPP, FALSE));
}

TEST_F(Policy, PowerEvents)
{
    EXPECT_TRUE(ClosesOn(WM_POWER, PWR_CRITICALRESUME));
    EXPECT_FALSE(ClosesOn(WM_POWER, PWR_SUSPENDREQUEST));
    EXPECT_TRUE(ClosesOn(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND));
    EXPECT_TRUE(ClosesOn(WM_POWERBROADCAST, 0));
}

TEST_F(Policy, PreviewIgnoresInput)
{
    ChildPreview = true;
    const UINT input[] = {WM_KEYDOWN,     WM_SYSKEYDOWN,  WM_LBUTTONDOWN,   WM_RBUTTONDOWN,
                          WM_MBUTTONDOWN, WM_ACTIVATEAPP, WM_POWERBROADCAST};
    for (UINT msg : input)
        EXPECT_FALSE(ClosesOn(msg)) << msg;
    SavedCursorPos = {-1000, -1000};
    EXPECT_FALSE(ClosesOn(WM_MOUSEMOVE));
}

TEST_F(Policy, NothingIsExaminedOnceClosingOrWhilePrompting)
{
    Closing = true;
    EXPECT_FALSE(ClosesOn(WM_KEYDOWN));
    Closing = false;
    CheckingPassword = true;
    EXPECT_FALSE(ClosesOn(WM_KEYDOWN));
    EXPECT_FALSE(ClosesOn(WM_LBUTTONDOWN));
}

TEST_F(Policy, AutoPlayQueryClosesInEveryState)
{
    AutoPlayMessage = RegisterWindowMessageA("QueryCancelAutoPlay");
    ASSERT_NE(0u, AutoPlayMessage);
    for (int state = 0; state < 3; ++state)
    {
        ChildPreview = state == 1;
        Closing = state == 2;
        EXPECT_EQ(FALSE, SendMessageA(Window, AutoPlayMessage, 0, 0)) << state;
        EXPECT_EQ(1, PostedCloses()) << state;
    }
    Closing = false;
    ChildPreview = false;
    VerifyPasswordProc = TestVerifier;
    EXPECT_EQ(TRUE, SendMessageA(Window, AutoPlayMessage, 0, 0));
    EXPECT_EQ(1, PostedCloses());

    // Unregistered, message 0 means nothing.
    AutoPlayMessage = 0;
    VerifyPasswordProc = nullptr;
    EXPECT_FALSE(ClosesOn(0));
}

TEST_F(Policy, CloseOnNtFamilyGoesStraightThrough)
{
    OnWin9x = false;
    VerifyPasswordProc = TestVerifier;
    Asked = 0;
    SendMessageA(Window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(Window));
    EXPECT_EQ(0, Asked);
}

TEST_F(Policy, SetCursorHidesAndAnswersTrue)
{
    EXPECT_EQ(TRUE, SendMessageA(Window, WM_SETCURSOR, reinterpret_cast<WPARAM>(Window), 0));
}

TEST_F(Policy, WithoutAVerifierClosingIsAlwaysAllowed)
{
    OnWin9x = true;
    EXPECT_TRUE(ConfirmClose(Window));
    EXPECT_TRUE(Closing);
    // Once closing, no further confirmation is given.
    EXPECT_FALSE(ConfirmClose(Window));
}

TEST_F(Policy, RefusedPasswordKeepsTheWindowAcceptedOneCloses)
{
    OnWin9x = true;
    VerifyPasswordProc = TestVerifier;
    Answers = {FALSE, TRUE};
    Asked = 0;
    PromptCouldReenter = true;

    SendMessageA(Window, WM_CLOSE, 0, 0);
    EXPECT_EQ(1, Asked);
    EXPECT_TRUE(IsWindow(Window));
    EXPECT_FALSE(Closing);
    EXPECT_FALSE(CheckingPassword);
    EXPECT_FALSE(PromptCouldReenter) << "a close during the prompt is refused at once";
    EXPECT_NE(static_cast<DWORD>(-1), LastPasswordCheck);

    // Within 200 ms of the last prompt: refused without asking again.
    SendMessageA(Window, WM_CLOSE, 0, 0);
    EXPECT_EQ(1, Asked);
    EXPECT_TRUE(IsWindow(Window));

    // 200 ms or more later it asks again, and the accepted answer closes.
    Sleep(250);
    SendMessageA(Window, WM_CLOSE, 0, 0);
    EXPECT_EQ(2, Asked);
    EXPECT_TRUE(Closing);
    EXPECT_FALSE(IsWindow(Window));
}

TEST_F(Policy, TheVerifyMessageAsksTheVerifierOnlyOnWin9x)
{
    VerifyPasswordProc = TestVerifier;
    Answers = {TRUE};
    Asked = 0;
    OnWin9x = true;
    EXPECT_EQ(TRUE, SendMessageA(Window, VERIFY_PASSWORD_MESSAGE, 0, 0));
    EXPECT_EQ(1, Asked);
    VerifyPasswordProc = nullptr;
    EXPECT_EQ(TRUE, SendMessageA(Window, VERIFY_PASSWORD_MESSAGE, 0, 0));
}

TEST(Password, NoModuleWithoutTheSetting)
{
    ResetHostState();
    OnWin9x = true;
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    const DWORD zero = 0;
    RegSetValueExA(key, "ScreenSaveUsePassword", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), sizeof(zero));
    LoadPasswordModule();
    EXPECT_EQ(nullptr, PasswordModule);
    EXPECT_EQ(nullptr, VerifyPasswordProc);

    // A value longer than four bytes makes the read fail: no password.
    const char longer[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    RegSetValueExA(key, "ScreenSaveUsePassword", 0, REG_BINARY, reinterpret_cast<const BYTE*>(longer), sizeof(longer));
    LoadPasswordModule();
    EXPECT_EQ(nullptr, VerifyPasswordProc);

    // Set, but this system has no PASSWORD.CPL: still no password.
    const DWORD one = 1;
    RegSetValueExA(key, "ScreenSaveUsePassword", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof(one));
    LoadPasswordModule();
    EXPECT_EQ(nullptr, VerifyPasswordProc);
    UnloadPasswordModule();

    RegDeleteValueA(key, "ScreenSaveUsePassword");
    RegCloseKey(key);
    ResetHostState();
}

TEST(Dispatcher, UnusableCommandLinesExitWithMinusOne)
{
    ResetHostState();
    for (const char* tail : {"/p", "/p 0", "/p:1234", "/x", "\t/s", "\x80s", "/p 4294967295"})
        EXPECT_EQ(-1, ScreenSaverMain(GetModuleHandleA(nullptr), nullptr, tail, SW_SHOWDEFAULT)) << tail;
    // On the NT family there is no password change.
    EXPECT_EQ(-1, ScreenSaverMain(GetModuleHandleA(nullptr), nullptr, "/a", SW_SHOWDEFAULT));
}

// No saver window, no run: a failure, whether the class or the window could not be made.
TEST(Dispatcher, ARunWithoutAWindowExitsWithOne)
{
    ResetHostState();
    RefuseCreate = true;
    EXPECT_EQ(1, ScreenSaverMain(GetModuleHandleA(nullptr), nullptr, "/s", SW_SHOWDEFAULT));
    RefuseCreate = false;
    // The class is now registered, so a second run cannot register it.
    ResetHostState();
    EXPECT_EQ(1, ScreenSaverMain(GetModuleHandleA(nullptr), nullptr, "/s", SW_SHOWDEFAULT));
    UnregisterClassA("WindowsScreenSaverClass", GetModuleHandleA(nullptr));
}

// A guard that fails in a paint ends the process at once, in a child process here: no
// further paint, and the saver state switched off on the way out.
TEST(FaultGuard, AFailedGuardInAPaintEndsTheProcessWithTheSaverStateOff)
{
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    ResetHostState();
    InjectGuard = true;
    EXPECT_EXIT(
        {
            ScreenSaverMain(GetModuleHandleA(nullptr), nullptr, "/s", SW_SHOWDEFAULT);
            std::fprintf(stderr, "painted %d times after the failed guard\n", PaintsAfterGuard);
            std::exit(0);
        },
        [](int code) { return static_cast<unsigned int>(code) == EXCEPTION_BREAKPOINT; }, "");
    InjectGuard = false;

    // The child switched the state on, then failed its guard.
    BOOL running = TRUE;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0));
    EXPECT_FALSE(running);
}

// Last: the faulted mode leaves its half-made window behind.
TEST(FaultGuard, AFaultEndsTheModeAndSwitchesTheSaverStateOff)
{
    ResetHostState();
    InjectFault = true;
    const int result = ScreenSaverMain(GetModuleHandleA(nullptr), nullptr, "/s", SW_SHOWDEFAULT);
    InjectFault = false;
    EXPECT_EQ(static_cast<int>(EXCEPTION_ACCESS_VIOLATION), result);

    BOOL running = TRUE;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0));
    EXPECT_FALSE(running);
}
