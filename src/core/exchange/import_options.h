#pragma once

#include <cstddef>
#include <functional>

namespace tb {

// The three check boxes of the Import Data dialog, handed to each import.
struct ImportOptions {
    // A link whose address a live link already has is not imported (bookmark and legacy files).
    bool ignore_existing = false;
    // Every link goes straight into the top folder; no subfolders are made.
    bool ignore_structure = false;
    // Directory walks enter subfolders.
    bool recursive = true;
    // A browser profile imported before goes into the same top folder, new items only.
    bool update_earlier = false;
};

// Progress of a running import: items written so far and the total when it is known (0 when
// not, as in a directory walk). Before the first item, `reading` follows the reading and parsing
// of a large source in bytes. `cancelled` is asked between items and pieces; true rolls the
// whole import back.
struct ImportProgress {
    std::function<void(std::size_t done, std::size_t total)> report;
    std::function<void(std::size_t done, std::size_t total)> reading;
    std::function<bool()> cancelled;
};

}  // namespace tb
