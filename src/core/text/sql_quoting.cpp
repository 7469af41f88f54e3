#include "text/sql_quoting.h"

namespace tb {

void sql_quote(std::string& text) {
    for (size_t at = text.find('\''); at != std::string::npos; at = text.find('\'', at + 2)) {
        text.insert(at, 1, '\'');
    }
}

}  // namespace tb
