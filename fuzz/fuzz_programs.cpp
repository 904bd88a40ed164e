// libFuzzer harness for needlecast-xscreensaver's list editor: any bytes as ~/.xscreensaver,
// added to and removed from.
#include "x11/programs.h"

#include "fuzz_support.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string system = "*programs: maze --root \\n\\\n  GL: gears --root \\n\n";
    const std::string before(reinterpret_cast<const char*>(data), size);
    std::string text = before, error;
    const ListEdit added = AddNeedlecast(&text, system, &error);
    // A refusal is one line and leaves the text; after an add the list reads back with the
    // entry in it, exactly once when the add put it there.
    Check(added == ListEdit::Malformed ? OneLine(error) && text == before : NeedlecastPlace(text) > 0);
    if (added == ListEdit::Changed) {
        std::string removed = text;
        error.clear();
        Check(RemoveNeedlecast(&removed, &error) == ListEdit::Changed && NeedlecastPlace(removed) == 0);
        Check(AddNeedlecast(&text, system, &error) == ListEdit::Unchanged);
    }
    text = before;
    error.clear();
    const ListEdit removed = RemoveNeedlecast(&text, &error);
    Check(removed == ListEdit::Malformed ? OneLine(error) && text == before
                                         : NeedlecastPlace(text) == 0 && (removed == ListEdit::Changed) == (text != before));
    return 0;
}
