#pragma once

#include <QString>

namespace tb::app {

// "12,830 links": a count of links in the interface language, with its plural form and the
// digit grouping of that language.
QString link_count_text(long long count);

}  // namespace tb::app
