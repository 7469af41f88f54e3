#pragma once

#include <string>
#include <string_view>

namespace tb {

// Decodes named (HTML 4), decimal and hexadecimal character references; an unknown or malformed
// reference stays as written.
std::string decode_html_references(std::string_view text);

// Turns white space into single spaces within a line and single line breaks between lines, and
// trims each line.
std::string collapse_blank_runs(std::string_view text);

// The text a reader sees in an HTML fragment: tags dropped (block tags end a line), scripts and
// styles left out, references decoded, blank runs collapsed. Text without markup comes back
// with only its blanks collapsed.
std::string html_to_plain_text(std::string_view html);

}  // namespace tb
