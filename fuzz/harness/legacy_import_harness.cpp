#include "harness/fuzz_support.h"
#include "harness/fuzz_targets.h"
#include "harness/import_sandbox.h"

namespace tb::fuzz {

// The input holds the three files of an earlier release's data folder, joined by NUL bytes:
// folders, memberships, links.
void fuzz_legacy_import(const std::uint8_t* data, std::size_t size) {
    constexpr std::array<const char*, 3> kFiles{"data.dbf", "data.dbd", "data.dbi"};
    std::vector<std::string_view> parts = split_input(input_text(data, size), kFiles.size());
    ImportSandbox sandbox;
    for (std::size_t i = 0; i < kFiles.size(); ++i) {
        write_bytes(sandbox.input_folder() / kFiles[i], parts[i]);
    }
    ImportRequest request;
    request.source = ImportSource::LegacyDatabase;
    request.path = sandbox.input_folder();
    sandbox.import_checked(request);
}

}  // namespace tb::fuzz
