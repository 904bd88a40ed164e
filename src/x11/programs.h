// XScreenSaver's list of hacks, the programs resource of ~/.xscreensaver, edited as text: the
// Needlecast entry put in or taken out, every other line kept byte for byte.
#pragma once

#include <string>

// The entry as xscreensaver-settings writes one: the GL visual, the command at column 32,
// and the entry's end (a backslash-n) at column 76.
extern const char* const NEEDLECAST_ENTRY;

enum class ListEdit
{
    Changed,   // text holds the new file
    Unchanged, // the entry was already there (add) or was not (remove)
    Malformed, // the file cannot be read as resources; error says why
};

// Adds the Needlecast entry after the other hacks of the file's programs resource. A file
// without one gets the programs resource of defaults (the system's app-defaults file, whose
// resource is named *programs), with the entry after its hacks.
ListEdit AddNeedlecast(std::string* text, const std::string& defaults, std::string* error);

// Takes every Needlecast entry out of the file's programs resource.
ListEdit RemoveNeedlecast(std::string* text, std::string* error);

// The place of the Needlecast entry among the hacks, counted from 1 as xscreensaver-command
// -select counts them; 0 when it is not listed.
int NeedlecastPlace(const std::string& text);
