// Resource ids and the about box's wording, shared by needlecast.rc and the C++ code.
#ifndef NEEDLECAST_RESOURCE_H
#define NEEDLECAST_RESOURCE_H

// Strings (the description string's id is the one screen-saver hosts read).
#define IDS_DESCRIPTION 1
#define IDS_APP_NAME 1007

// The program icon.
#define IDI_APP 107

// The about box and its two link labels.
#define IDD_ABOUT 2003
#define IDC_WEB_LINK 1011
#define IDC_MAIL_LINK 1012

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// The about box's wording. Kept as plain literals so the resource compiler can splice them.
#define NEEDLECAST_MAKER "The Needlecast developers"
#define NEEDLECAST_RELEASE "December 2026"
#define NEEDLECAST_RIGHTS "Free software under the MIT licence"
#define NEEDLECAST_WEB_ADDRESS "https://needlecast.invalid/"
#define NEEDLECAST_WEB_LABEL "needlecast.invalid"
#define NEEDLECAST_MAIL_ADDRESS "needlecast@needlecast.invalid"

#endif
