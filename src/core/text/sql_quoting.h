#pragma once

#include <string>

namespace tb {

// Doubles every single quote, in place: for the search compiler, whose output is SQL text by
// design. Everything else binds its values.
void sql_quote(std::string& text);

}  // namespace tb
