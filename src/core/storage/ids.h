#pragma once

#include <cstdint>
#include <limits>

#include "platform/reporter.h"

namespace tb {

// A row id as SQLite hands it over: a file written by another program may hold any 64-bit id.
using RowId = std::int64_t;

// Folder ids with a fixed meaning; the negative ones are tree items, never rows.
constexpr RowId kNoFolder = 0;
constexpr RowId kRootFolder = 1;
constexpr RowId kNothingSelected = -1;
constexpr RowId kNewsfeedsFolder = -6;
constexpr RowId kRecentlyVisitedFolder = -7;
constexpr RowId kMostVisitedFolder = -8;
constexpr RowId kBrokenLinksFolder = -9;
constexpr RowId kSearchResultsFolder = -10;

// One above the largest id must still be an id, for the importers' next free id.
constexpr RowId kLargestId = std::numeric_limits<RowId>::max() - 1;
inline constexpr const char* kNoIdLeftText =
    TB_TRANSLATE_NOOP("Strings", "No free id is left for a new row; nothing was added.");

}  // namespace tb
