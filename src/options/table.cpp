// Option tables: looking an option up, reading its value by its kind, and the usage text.
#include "options/table.h"

#include "utility/text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{
// The synopsis wraps before this column.
const size_t USAGE_WIDTH = 98;

bool ReadWhole(const char* text, unsigned long long low, unsigned long long high, unsigned long long* value)
{
    unsigned long long parsed = 0;
    if (!ParseUnsigned(text, false, high, &parsed) || parsed < low)
        return false;
    *value = parsed;
    return true;
}

// "WxH" with each side low..high.
bool ReadSize(const OptionSpec& option, const char* text, int* width, int* height)
{
    const char* cross = std::strchr(text, 'x');
    if (cross == nullptr)
        return false;
    const std::string first(text, cross);
    unsigned long long w = 0;
    unsigned long long h = 0;
    if (!ReadWhole(first.c_str(), option.low, option.high, &w) || !ReadWhole(cross + 1, option.low, option.high, &h))
        return false;
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return true;
}

// "--name VALUE", or "--name" for a flag.
std::string Shown(const OptionSpec& option)
{
    std::string text = std::string("--") + option.name;
    if (option.value != nullptr)
        text += std::string(" ") + option.value;
    return text;
}
} // namespace

const OptionSpec* FindOption(const OptionTable& table, const std::string& name, bool by_alias)
{
    for (size_t i = 0; i < table.count; ++i)
    {
        const char* const own = by_alias ? table.options[i].alias : table.options[i].name;
        if (own != nullptr && name == own)
            return &table.options[i];
    }
    return nullptr;
}

bool ReadOptionValue(const OptionSpec& option, const char* text, OptionValue* value)
{
    if (text == nullptr)
        return false;
    switch (option.kind)
    {
    case OptionKind::Flag:
        return true;
    case OptionKind::Whole:
        return ReadWhole(text, option.low, option.high, &value->whole);
    case OptionKind::Seconds: {
        char* end = nullptr;
        const double parsed = std::strtod(text, &end);
        if (*text == '\0' || *end != '\0' || !std::isfinite(parsed) || !(parsed > 0))
            return false;
        value->seconds = parsed;
        return true;
    }
    case OptionKind::File:
        if (*text == '\0')
            return false;
        value->text = text;
        return true;
    case OptionKind::Size:
        return ReadSize(option, text, &value->width, &value->height);
    case OptionKind::WindowId: {
        unsigned long long parsed = 0;
        if (!ParseUnsigned(text, true, option.high, &parsed) || parsed < option.low)
            return false;
        value->whole = parsed;
        return true;
    }
    case OptionKind::Choice:
        for (int k = 0; option.choices[k] != nullptr; ++k)
            if (std::strcmp(text, option.choices[k]) == 0)
            {
                value->choice = k;
                return true;
            }
        return false;
    }
    return false;
}

std::string ExpectedValue(const OptionSpec& option)
{
    const std::string range = "from " + std::to_string(option.low) + " to " + std::to_string(option.high);
    switch (option.kind)
    {
    case OptionKind::Flag:
        return "no value";
    case OptionKind::Whole:
        return "a whole number " + range;
    case OptionKind::Seconds:
        return "a positive number of seconds";
    case OptionKind::File:
        return "a file name";
    case OptionKind::Size:
        return "WxH with each side " + range;
    case OptionKind::WindowId:
        return "a window id";
    case OptionKind::Choice:
        break;
    }
    std::string words;
    for (int k = 0; option.choices[k] != nullptr; ++k)
    {
        if (k > 0)
            words += option.choices[k + 1] != nullptr ? ", " : " or ";
        words += *option.choices[k] != '\0' ? option.choices[k] : "nothing";
    }
    return words;
}

std::string NamesAmong(const OptionTable& table, const OptionSpec& first, const char* dashes)
{
    std::string names;
    for (const OptionSpec* option = &first; option < table.options + table.count; ++option)
    {
        if (option != &first && option->synopsis != Synopsis::Among)
            break;
        const bool last = option + 1 == table.options + table.count || option[1].synopsis != Synopsis::Among;
        if (option != &first)
            names += last ? " and " : ", ";
        names += std::string(dashes) + option->name;
    }
    return names;
}

std::string UsageText(const OptionTable& table)
{
    // The synopsis as its brackets: each option alone, or joined to the one before it.
    std::vector<std::string> words;
    for (size_t i = 0; i < table.count; ++i)
    {
        const OptionSpec& option = table.options[i];
        if (option.synopsis == Synopsis::Among && !words.empty())
            words.back().insert(words.back().size() - 1, " | " + Shown(option));
        else if (option.synopsis == Synopsis::Within && !words.empty())
            words.back().insert(words.back().size() - 1, " [" + Shown(option) + "]");
        else if (option.synopsis != Synopsis::Unlisted)
            words.push_back("[" + Shown(option) + "]");
    }
    const std::string lead = std::string("usage: ") + table.program;
    std::string usage = lead;
    size_t line_start = 0;
    for (const std::string& word : words)
    {
        // A word longer than a line gets one of its own.
        const size_t used = usage.size() - line_start;
        if (used > lead.size() && used + 1 + word.size() > USAGE_WIDTH)
        {
            usage += "\n";
            line_start = usage.size();
            usage += std::string(lead.size(), ' ');
        }
        usage += " " + word;
    }
    usage += std::string("\n") + table.about + "\n";

    for (size_t i = 0; i < table.count; ++i)
    {
        const OptionSpec& option = table.options[i];
        std::string line = "  " + Shown(option);
        line.resize(std::max(line.size() + 1, static_cast<size_t>(table.help_column)), ' ');
        for (const char* help = option.help; help != nullptr && *help != '\0';)
        {
            const char* end = std::strchr(help, '\n');
            const size_t length = end != nullptr ? static_cast<size_t>(end - help) : std::strlen(help);
            usage += line + std::string(help, length) + "\n";
            line.assign(static_cast<size_t>(table.help_column), ' ');
            help = end != nullptr ? end + 1 : help + length;
        }
    }
    return usage + table.footer;
}
