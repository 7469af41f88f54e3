#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "model/model.h"
#include "platform/product.h"
#include "text/text_file_writer.h"

namespace tb {

// The default file name of both export commands.
inline constexpr const char* kDefaultExportFileName = "Tagberry Bookmarks.html";

// An address as the exported files write it: a double quote would end the attribute, so it
// becomes "%22"; CR and LF, which an old database may hold, are dropped; everything else stays
// as stored.
std::string export_address(std::string_view url);

// Message 241 with the path for a target that is no regular file, else 160.
void report_unwritable(Reporter& reporter, const TextFileWriter& writer,
                       const std::filesystem::path& path);

// The bookmark file of the whole tree (branch 0) or of one folder with everything below it, in
// the Netscape bookmark format. Titles are entity-encoded with line breaks turned into spaces;
// top-level folders come in ascending id, subfolders and links by title. Folders and links
// pending deletion are left out. The links come from the model's link array, which every change
// keeps in step with the table.
std::string bookmark_file_text(Model& model, RowId branch);

// Writes bookmark_file_text to path; reports 160 when the file cannot be written, 161 when done.
bool export_bookmarks(Model& model, const std::filesystem::path& path, RowId branch);

// The default file name of "Export Branch as HTML..." / "Save Results as HTML..." for the
// current folder: no value, after message 135, for Search Results with an empty query text;
// no value for the other special folders and unknown folders, where the command is disabled.
std::optional<std::string> branch_export_file_name(Model& model, RowId current_folder,
                                                   const std::string& query_text);

}  // namespace tb
