#pragma once

#include <filesystem>
#include <optional>

#include "exchange/browser_profiles.h"
#include "exchange/browser_tree.h"
#include "exchange/import_context.h"

namespace tb {

// The bookmarks of a places database, a .jsonlz4 or .json backup or a Bookmarks file, told
// apart by content. Whatever cannot be read is reported, naming the file, and gives
// std::nullopt.
std::optional<BrowserItem> read_browser_bookmarks(const std::filesystem::path& file,
                                                  Reporter& reporter);

// How many links the profile holds, or std::nullopt when it cannot be read.
std::optional<int> profile_link_count(const BrowserProfile& profile);

// Imports the profile into a new top folder titled (a free variant of) `top_title`, or, with
// `update_earlier`, into the top folder of its last import while that still exists: then only
// items never imported before are added (by the browser's id, else by address within the top
// folder's subtree), and the user's own changes stay. False when nothing could be read or
// written; nothing is made then.
bool import_browser_profile(ImportContext& context, const std::filesystem::path& path,
                            const std::string& top_title, bool update_earlier);

}  // namespace tb
