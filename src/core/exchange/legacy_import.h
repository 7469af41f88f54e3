#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/import_context.h"

namespace tb {

inline constexpr const char* kLegacyTopTitle = "Imported from Tagberry 1.x";

// Fields of a line split at ";": empty fields are kept, a ";" at the very end adds none.
std::vector<std::string> split_legacy_fields(std::string_view line);

// atoi rules: leading blanks skipped, an optional sign, digits up to the first other character;
// no number gives 0. Clamped to the int range.
int legacy_number(std::string_view field);

// Rebuilds the earlier release's folders (data.dbf), memberships (data.dbd) and links with
// their visits (data.dbi) from `folder` inside a new top folder. A file that cannot be read
// reports 173, 174 or 175 and ends the import (false); what was made before stays.
bool import_legacy_database(ImportContext& context, const std::filesystem::path& folder);

}  // namespace tb
