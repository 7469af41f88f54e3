#pragma once

#include <climits>
#include <cstdint>

#include "platform/reporter.h"

namespace tb {

// A row id as SQLite hands it over: a file written by another program may hold any 64-bit id.
using RowId = std::int64_t;

// Folder ids with a fixed meaning; the negative ones are tree items, never rows.
constexpr int kNoFolder = 0;
constexpr int kRootFolder = 1;
constexpr int kNothingSelected = -1;
constexpr int kNewsfeedsFolder = -6;
constexpr int kRecentlyVisitedFolder = -7;
constexpr int kMostVisitedFolder = -8;
constexpr int kBrokenLinksFolder = -9;
constexpr int kSearchResultsFolder = -10;

// Ids are ints in the program, while the engine would go on counting; one above the largest id
// must still be an int, for the importers' next free id.
constexpr std::int64_t kLargestId = INT_MAX - 1;
inline constexpr const char* kNoIdLeftText =
    TB_TRANSLATE_NOOP("Strings", "No free id is left for a new row; nothing was added.");

}  // namespace tb
