// XScreenSaver's list of hacks edited as text: finding the programs resource, reading its
// entries, and putting the Needlecast entry in or taking it out.
#include "x11/programs.h"

#include <algorithm>
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

// The list's value as the resource manager reads it: the lines' hacks joined, without the
// backslashes that continue them; line_of holds the line of each of its characters.
struct ListValue
{
    std::string text;
    std::vector<size_t> line_of;
};

ListValue JoinList(const std::vector<std::string>& lines, size_t first, size_t last)
{
    ListValue value;
    for (size_t i = first; i <= last; ++i)
    {
        const std::string hacks = Hacks(lines[i], i == first);
        value.text += hacks;
        value.line_of.insert(value.line_of.end(), hacks.size(), i);
    }
    return value;
}

// One hack of the list: its text is [start, end) of the value, and with the backslash-n that
// ends it (the last may lack one) [start, stop).
struct Entry
{
    size_t start;
    size_t end;
    size_t stop;
};

std::vector<Entry> Entries(const std::string& value)
{
    std::vector<Entry> entries;
    for (size_t start = 0, end; start < value.size(); start = end + 2)
    {
        end = std::min(value.find("\\n", start), value.size());
        if (!Trim(value.substr(start, end - start)).empty())
            entries.push_back({start, end, std::min(end + 2, value.size())});
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
    // Control characters other than tabs and line ends have no place in a settings file.
    const auto control = [](char c) {
        const unsigned char u = static_cast<unsigned char>(c);
        return (u < 0x20 && (u < '\t' || u > '\r')) || u == 0x7f;
    };
    if (std::any_of(text.begin(), text.end(), control))
        return *error = "it holds control characters, so it is not a text file", false;
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
    const std::string value = JoinList(lines, first, last).text;
    const std::vector<Entry> entries = Entries(value);
    for (size_t place = 0; place < entries.size(); ++place)
        if (IsNeedlecast(value.substr(entries[place].start, entries[place].end - entries[place].start)))
            return static_cast<int>(place) + 1;
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
        // No list of the user's own: the system's, under the user's name for it, after a last
        // line that ends (else the list would be part of it).
        if (!lines.empty() && Continues(lines.back()))
            return *error = "its last line runs on past the end of the file", ListEdit::Malformed;
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
    const std::string hacks = Trim(JoinList(lines, first, last).text);
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

    // Every character of a Needlecast entry goes, its backslash-n too; a line that had some
    // and keeps nothing but blanks goes with them. The other lines stay as they are.
    const ListValue value = JoinList(lines, first, last);
    std::vector<std::string> kept(last - first + 1);
    std::vector<bool> touched(last - first + 1, false);
    std::vector<bool> gone(value.text.size(), false);
    for (const Entry& entry : Entries(value.text))
        if (IsNeedlecast(value.text.substr(entry.start, entry.end - entry.start)))
            std::fill(gone.begin() + static_cast<long>(entry.start), gone.begin() + static_cast<long>(entry.stop), true);
    for (size_t k = 0; k < value.text.size(); ++k)
    {
        if (gone[k])
            touched[value.line_of[k] - first] = true;
        else
            kept[value.line_of[k] - first] += value.text[k];
    }
    for (size_t i = last + 1; i-- > first;)
    {
        if (!touched[i - first])
            continue;
        if (i != first && Trim(kept[i - first]).empty())
        {
            lines.erase(lines.begin() + static_cast<long>(i));
            --last;
        }
        else
            lines[i] = (i == first ? lines[i].substr(0, lines[i].find(':') + 1) : std::string()) + kept[i - first] +
                       (Continues(lines[i]) ? "\\" : "");
    }
    // The list ends where its last line does not go on.
    if (Continues(lines[last]))
        lines[last].pop_back();
    *text = JoinLines(lines);
    return ListEdit::Changed;
}
