#include "text/file_names.h"

namespace tb {

std::string safe_file_name(std::string_view text) {
    static constexpr std::string_view kReplaced = " \\/;*\"<>";
    std::string out(text);
    for (char& c : out) {
        if (kReplaced.find(c) != std::string_view::npos) {
            c = '_';
        }
    }
    return out;
}

}  // namespace tb
