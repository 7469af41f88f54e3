#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "exchange/import_context.h"

namespace tb {

// One line of a bookmark file as the three whole-line patterns see it.
struct BookmarkLine {
    enum class Kind { Other, Folder, Link, ListStart, ListEnd };
    Kind kind = Kind::Other;
    // Leading white space, a tab counting as four blanks.
    std::size_t indent = 0;
    std::string_view title;    // raw, entities not yet decoded
    std::string_view address;  // links only
};

// Folder depth from its indentation: 0 for none, 1 for 1 to 7 blanks, 2 for 8 to 11, ...
int folder_depth(std::size_t indent);

BookmarkLine classify_bookmark_line(std::string_view line);

// Rebuilds the folders and links of a bookmark file in a new top folder titled (a free variant
// of) `top_title`. A file that cannot be read reports 176, and one without a single folder or
// link reports 240; either creates nothing and returns false, as does a failure to make the top
// folder.
bool import_bookmark_file(ImportContext& context, const std::filesystem::path& file,
                          const std::string& top_title);

}  // namespace tb
