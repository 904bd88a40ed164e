// XScreenSaver's list of hacks edited as text: finding the programs resource, reading its
// entries, and putting the Needlecast entry in or taking it out.
#include "x11/programs.h"

#include <vector>

const char* const NEEDLECAST_ENTRY = "  GL: \t\t\t\tneedlecast --root\t\t\t    \\n";

namespace
{
const char* const BLANKS = " \t";

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

// A line that goes on in the next one: it ends in a backslash.
bool Continues(const std::string& line)
{
    return !line.empty() && line.back() == '\\';
}

std::string Trim(const std::string& text)
{
    const size_t first = text.find_first_not_of(BLANKS);
    return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(BLANKS) - first + 1);
}

// The lines [*first, *last] of the resource name ("programs" or "*programs"); false when the
// text has none, or with error set when it is not well formed.
bool FindPrograms(const std::vector<std::string>& lines, const std::string& name, size_t* first, size_t* last,
                  std::string* error)
{
    bool found = false;
    for (size_t i = 0; i < lines.size(); ++i)
    {
        const std::string line = Trim(lines[i]);
        const size_t colon = line.find(':');
        if (colon == std::string::npos || Trim(line.substr(0, colon)) != name)
        {
            // The lines of a resource that goes on belong to it, whatever they say.
            while (Continues(lines[i]) && i + 1 < lines.size())
                ++i;
            continue;
        }
        if (found)
            return *error = "it lists the programs twice", false;
        found = true;
        *first = i;
        while (Continues(lines[i]) && i + 1 < lines.size())
            ++i;
        if (Continues(lines[i]))
            return *error = "its programs list runs on past the end of the file", false;
        *last = i;
    }
    return found;
}

// The part of a line of the list that holds hacks: after the resource's name on its first
// line, before the backslash that continues it.
std::string Hacks(const std::string& line, bool first)
{
    std::string hacks = first ? line.substr(line.find(':') + 1) : line;
    if (Continues(hacks))
        hacks.pop_back();
    return hacks;
}

// The hacks of a part of the list, each entry ended by a backslash-n (the last may lack it).
std::vector<std::string> Entries(const std::string& hacks)
{
    std::vector<std::string> entries;
    size_t start = 0;
    for (size_t end; start <= hacks.size(); start = end + 2)
    {
        end = hacks.find("\\n", start);
        if (end == std::string::npos)
            end = hacks.size();
        if (!Trim(hacks.substr(start, end - start)).empty())
            entries.push_back(hacks.substr(start, end - start));
    }
    return entries;
}

// Whether an entry runs Needlecast: its command, after a "-" that turns it off, a visual
// ("GL:") and a name in quotes, is needlecast or a path to it.
bool IsNeedlecast(std::string entry)
{
    entry = Trim(entry);
    if (!entry.empty() && entry[0] == '-')
        entry = Trim(entry.substr(1));
    const size_t word_end = entry.find_first_of(BLANKS);
    const std::string word = entry.substr(0, word_end);
    if (!word.empty() && word.back() == ':' && word.find('/') == std::string::npos)
        entry = Trim(word_end == std::string::npos ? "" : entry.substr(word_end));
    if (!entry.empty() && entry[0] == '"')
        entry = Trim(entry.substr(entry.find('"', 1) == std::string::npos ? entry.size() : entry.find('"', 1) + 1));
    const std::string command = entry.substr(0, entry.find_first_of(BLANKS));
    const size_t slash = command.rfind('/');
    return (slash == std::string::npos ? command : command.substr(slash + 1)) == "needlecast";
}

bool Readable(const std::string& text, std::string* error)
{
    if (text.find('\0') != std::string::npos)
        return *error = "it holds NUL bytes, so it is not a settings file", false;
    return true;
}
} // namespace

int NeedlecastPlace(const std::string& text)
{
    const std::vector<std::string> lines = SplitLines(text);
    size_t first = 0, last = 0;
    std::string error;
    if (!FindPrograms(lines, "programs", &first, &last, &error))
        return 0;
    int place = 0;
    for (size_t i = first; i <= last; ++i)
        for (const std::string& entry : Entries(Hacks(lines[i], i == first)))
        {
            ++place;
            if (IsNeedlecast(entry))
                return place;
        }
    return 0;
}

ListEdit AddNeedlecast(std::string* text, const std::string& defaults, std::string* error)
{
    if (!Readable(*text, error))
        return ListEdit::Malformed;
    std::vector<std::string> lines = SplitLines(*text);
    size_t first = 0, last = 0;
    if (!FindPrograms(lines, "programs", &first, &last, error))
    {
        if (!error->empty())
            return ListEdit::Malformed;
        // No list of the user's own: the system's, under the user's name for it.
        const std::vector<std::string> system = SplitLines(defaults);
        size_t from = 0, to = 0;
        if (!FindPrograms(system, "*programs", &from, &to, error))
        {
            *error = "the system's list of hacks cannot be read" + (error->empty() ? "" : ": " + *error);
            return ListEdit::Malformed;
        }
        first = lines.size();
        lines.push_back("programs:" + system[from].substr(system[from].find(':') + 1));
        lines.insert(lines.end(), system.begin() + static_cast<long>(from) + 1,
                     system.begin() + static_cast<long>(to) + 1);
        last = lines.size() - 1;
    }
    else if (NeedlecastPlace(*text) != 0)
        return ListEdit::Unchanged;

    // The list's last entry gets its backslash-n if it lacks one, and the list goes on.
    std::string& end = lines[last];
    const std::string hacks = Trim(Hacks(end, last == first));
    if (!hacks.empty() && hacks.compare(hacks.size() - std::min<size_t>(2, hacks.size()), 2, "\\n") != 0)
        end += " \\n";
    end += "\\";
    lines.insert(lines.begin() + static_cast<long>(last) + 1, NEEDLECAST_ENTRY);
    *text = JoinLines(lines);
    return ListEdit::Changed;
}

ListEdit RemoveNeedlecast(std::string* text, std::string* error)
{
    if (!Readable(*text, error))
        return ListEdit::Malformed;
    std::vector<std::string> lines = SplitLines(*text);
    size_t first = 0, last = 0;
    if (!FindPrograms(lines, "programs", &first, &last, error))
        return error->empty() ? ListEdit::Unchanged : ListEdit::Malformed;
    if (NeedlecastPlace(*text) == 0)
        return ListEdit::Unchanged;

    for (size_t i = last + 1; i-- > first;)
    {
        std::string kept;
        bool found = false;
        for (const std::string& entry : Entries(Hacks(lines[i], i == first)))
        {
            if (IsNeedlecast(entry))
                found = true;
            else
                kept += entry + "\\n";
        }
        if (!found)
            continue;
        if (kept.empty() && i != first)
        {
            lines.erase(lines.begin() + static_cast<long>(i));
            --last;
        }
        else
            lines[i] = (i == first ? lines[i].substr(0, lines[i].find(':') + 1) : std::string()) + kept +
                       (Continues(lines[i]) ? "\\" : "");
    }
    // The list ends where its last line does not go on.
    if (Continues(lines[last]))
        lines[last].pop_back();
    *text = JoinLines(lines);
    return ListEdit::Changed;
}
