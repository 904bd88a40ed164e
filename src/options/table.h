// Option tables: each option's name, value and help, how a value is read, and the usage made from them.
#pragma once

#include <cstddef>
#include <string>

// What an option's value is.
enum class OptionKind
{
    Flag,    // no value
    Whole,   // a whole number from low to high, decimal digits only
    Seconds, // a positive, finite number
    File,    // a file name, not empty
    Size,    // WxH, each side a whole number from low to high
    WindowId, // a whole number from low to high, decimal or hexadecimal after 0x
    Choice,  // one of the words in choices ("" for none given, shown as "nothing")
};

// How the usage's first lines show an option.
enum class Synopsis
{
    Alone,    // [--name VALUE]
    Among,    // with the option before it in one bracket: [--a | --b]
    Within,   // inside the option before it's bracket: [--a A [--b B]]
    Unlisted, // not at all (it has its own line below)
};

struct OptionSpec
{
    // What the program calls it when it stores the value (its own enumeration's number).
    int id;
    OptionKind kind;
    // The name without dashes, and another that it also answers to ("h"), or null.
    const char* name;
    const char* alias;
    // The value's name in the usage ("S", "FILE"); null for a flag.
    const char* value;
    // The range of a whole number, a window id or a size's sides.
    unsigned long long low, high;
    // A choice's words, null at the end.
    const char* const* choices;
    // The option's lines in the usage, '\n' between them; null for none (the URL's).
    const char* help;
    Synopsis synopsis;
};

struct OptionTable
{
    const char* program;
    const OptionSpec* options;
    size_t count;
    // The line under the synopsis, the column where the help starts and the lines after them.
    const char* about;
    int help_column;
    const char* footer;
};

// A value as read; only the fields of the option's kind are set.
struct OptionValue
{
    unsigned long long whole = 0;
    double seconds = 0.0;
    std::string text;
    int width = 0, height = 0;
    int choice = -1;
};

// The option with this name (by_alias: this alias), null when the table has none.
const OptionSpec* FindOption(const OptionTable& table, const std::string& name, bool by_alias = false);

// Reads text as the option's value. False, when it is not one, leaving value alone.
bool ReadOptionValue(const OptionSpec& option, const char* text, OptionValue* value);

// What the option's value must be, as the error lines say it after "expected ": "a whole
// number from 1 to 256", "vertex, fragment or link".
std::string ExpectedValue(const OptionSpec& option);

// The names of the options of one bracket (Among), as the error line lists them: "--a, --b
// and --c", with the dashes given.
std::string NamesAmong(const OptionTable& table, const OptionSpec& first, const char* dashes);

// The usage text: "usage: program" and the synopsis wrapped before 99 columns, the about line,
// each option with its value's name and its help from help_column, and the footer.
std::string UsageText(const OptionTable& table);
