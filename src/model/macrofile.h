#pragma once

#include "macroevent.h"

#include <string>
#include <string_view>

namespace loopwren {

struct MacroReadResult
{
    Timeline events;
    // Empty on success; otherwise what was wrong and where, e.g. `event 17: "keyCode" 70000 is out of range`
    // (events are counted from 1, as the timeline numbers its rows).
    std::string error;

    bool ok() const { return error.empty(); }
};

struct MacroWriteResult
{
    std::string text;
    std::string error; // empty on success; then text holds the whole document

    bool ok() const { return error.empty(); }
};

// Reads a whole macro document. Any error rejects the whole document.
MacroReadResult readMacro(std::string_view json);
// Same, for a file: the reader may need padding, so it loads the file itself.
MacroReadResult readMacroFile(const std::string& path);
// Writes the pretty-printed document; fails, writing nothing, on a non-finite number.
MacroWriteResult writeMacro(const Timeline& events);

} // namespace loopwren
