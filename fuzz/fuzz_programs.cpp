// libFuzzer harness for needlecast-xscreensaver's list editor: any bytes as ~/.xscreensaver,
// added to and taken from.
#include "x11/programs.h"

#include "fuzz_support.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string system = "*programs: maze --root \\n\\\n  GL: gears --root \\n\n";
    const std::string before(reinterpret_cast<const char*>(data), size);
    std::string text = before, error;
    // A refusal is one line and leaves the text. After an add the list reads back with the
    // entry; one it put there is the only one: taking it out leaves none, a second add nothing.
    const ListEdit added = AddNeedlecast(&text, system, &error);
    Check(added == ListEdit::Malformed ? OneLine(error) && text == before : NeedlecastPlace(text) > 0);
    if (added == ListEdit::Changed)
        Check(AddNeedlecast(&text, system, &error) == ListEdit::Unchanged &&
              RemoveNeedlecast(&text, &error) == ListEdit::Changed && NeedlecastPlace(text) == 0);
    text = before;
    Check(RemoveNeedlecast(&text, &error) == ListEdit::Malformed || NeedlecastPlace(text) == 0);
    return 0;
}
