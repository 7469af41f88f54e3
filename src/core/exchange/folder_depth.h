#pragma once

namespace tb {

// The deepest level of folders that any import makes and that an export writes, the folders in
// the root being level 1. A folder that would lie deeper is attached at this level instead, with
// its links, so that nothing is lost and no walk has to follow an unbounded chain; walks may
// recurse this deep. A 2,000-level file still fits whole below an import's top folder and a
// browser's root folders.
inline constexpr int kMaxFolderDepth = 2048;

}  // namespace tb
