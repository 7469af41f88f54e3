#pragma once

#include <string>
#include <string_view>

namespace tb {

// A title fit for one line: every run of blanks that holds a CR, LF or TAB becomes one space
// (and goes away at either end), and the other C0 and C1 control characters and DEL are removed.
// Runs of plain spaces stay as they are.
std::string clean_title(std::string_view title);

// An address as a browser's address parser reads it: C0 controls and spaces at either end are
// stripped, CR, LF and TAB inside are removed, and any other control character is
// percent-encoded. An address of nothing but control characters comes back empty.
std::string clean_address(std::string_view address);

// Text for a terminal: CR, LF and TAB as \r \n \t, other C0 controls and DEL as \xNN, C1
// controls as \u00NN, so nothing stored can drive the terminal.
std::string escape_control_chars(std::string_view text);
// The same, appended to out: a writer of many rows reuses one buffer.
void append_escaped_control_chars(std::string& out, std::string_view text);

}  // namespace tb
