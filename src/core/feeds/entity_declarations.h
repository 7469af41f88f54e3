#pragma once

#include <string>

namespace tb {

// Declares the HTML 4 named entities for one XML document, so that feeds which use "&nbsp;" or
// "&eacute;" without a DTD that is ever read still parse. The declarations go into the internal
// subset, after the document's own (the first declaration of a name wins), or into a new
// DOCTYPE before the root element. The line numbers of the document stay the same. A document
// in an encoding that is neither ASCII-compatible nor UTF-16 is returned unchanged.
std::string declare_html_entities(std::string document);

}  // namespace tb
