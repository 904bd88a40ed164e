// The saver's application side: the about box (configure mode) and what it needs.
#pragma once

#include <windows.h>

#include "host/host.h"
#include "resource.h"

// The about box's wording, as the dialog template shows it and the links open it.
constexpr char kAboutMaker[] = NEEDLECAST_MAKER;
constexpr char kAboutRelease[] = NEEDLECAST_RELEASE;
constexpr char kAboutRights[] = NEEDLECAST_RIGHTS;
constexpr char kWebAddress[] = NEEDLECAST_WEB_ADDRESS;
constexpr char kMailAddress[] = NEEDLECAST_MAIL_ADDRESS;
constexpr char kMailLink[] = "mailto:" NEEDLECAST_MAIL_ADDRESS;

// RegisterDialogClasses (no window classes of our own in the about box) and the about box's
// dialog procedure ScreenSaverConfigureDialog, exported under its plain name, are declared
// with the host's contract in host/host.h.

// Stops the program with a message box when a set-up call failed (main.cpp).
void CheckResult(INT_PTR result, INT_PTR failure_value, const char* function_name);

// Our own copy of the hand cursor shown over the links, or none. Destroyed with the about box.
extern HCURSOR HandCursor;

// Fills HandCursor: winhlp32's hand if it has one, else the system's.
void LoadHandCursor();

// Opens a link; ShellExecuteA unless a test puts a stand-in here.
extern HINSTANCE(WINAPI* OpenLink)(HWND hwnd, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                   LPCSTR directory, INT show);

// How many underlined link fonts exist now (made and not yet deleted).
int LiveLinkFontsForTests();
