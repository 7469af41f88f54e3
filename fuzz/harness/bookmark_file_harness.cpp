#include "harness/fuzz_support.h"
#include "harness/fuzz_targets.h"
#include "harness/import_sandbox.h"

namespace tb::fuzz {

// The input is a bookmark file; the first byte's low bits pick the import's check boxes, so that
// the structure-less and duplicate-skipping paths are reached as well.
void fuzz_bookmark_file(const std::uint8_t* data, std::size_t size) {
    std::string_view text = input_text(data, size);
    ImportSandbox sandbox;
    ImportRequest request;
    request.source = ImportSource::BookmarkFile;
    request.path = sandbox.input_folder() / "bookmarks.html";
    write_bytes(request.path, text);
    const unsigned options = size > 0 ? data[0] : 0;
    request.options.ignore_structure = (options & 1) != 0;
    // Twice into one database, so that the second import meets the first one's links.
    request.options.ignore_existing = (options & 2) != 0;
    sandbox.import_checked(request);
    if (request.options.ignore_existing) {
        ImportResult again = sandbox.import_checked(request);
        require(again.links == 0, "a second import skipping existing addresses added links");
    }
}

}  // namespace tb::fuzz
