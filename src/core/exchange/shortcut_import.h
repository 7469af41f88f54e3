#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "exchange/import_context.h"

namespace tb {

enum class WalkMode { Shortcuts, HtmlFiles };

// The "URL" value of section "InternetShortcut" of an internet-shortcut file's text, read by
// IniFile as the Windows profile functions read it: names case-insensitive, CR LF or LF, an
// optional byte-order mark, the value trimmed of blanks. Empty when there is none.
std::string internet_shortcut_url(std::string_view text);

// Stores one shortcut file as a link in `folder`. An empty title becomes the file name without
// its extension. A file without a URL gives a link with an empty address; one that cannot be
// read is skipped with a log line.
bool read_internet_shortcut(ImportContext& context, const std::filesystem::path& file, RowId folder,
                            const std::string& title);

// Walks a disk folder into a new top folder titled `top_title` (the folder's last path
// component when empty): shortcut files become links, HTML files folders of their links;
// subfolders are mirrored when `recursive` is on, unless `ignore_structure` is. Directory
// symlinks are not followed; what cannot be read is skipped with a log line. A folder that does
// not exist or cannot be listed is reported by name and nothing is created.
bool import_directory(ImportContext& context, WalkMode mode, const std::filesystem::path& folder,
                      const std::string& top_title);

}  // namespace tb
