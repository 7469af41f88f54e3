#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tb::fuzz {

// A broken invariant: names it with the offending value on standard error and aborts, which
// libFuzzer and the replay test both take as a failure.
[[noreturn]] void fail(std::string_view what, std::string_view detail = {});
void require(bool holds, std::string_view what, std::string_view detail = {});

std::string_view input_text(const std::uint8_t* data, std::size_t size);

// The input cut at NUL bytes into at most `count` parts; the last part keeps any further NULs.
// Missing parts are empty. Seeds stay readable text files joined by a NUL.
std::vector<std::string_view> split_input(std::string_view input, std::size_t count);

// A UTF-8 check of its own, written for clarity rather than speed, so that the harnesses do not
// judge the program's output with the program's own validator.
bool reference_valid_utf8(std::string_view bytes);

// A folder of this process under the system's temporary folder, removed at exit.
const std::filesystem::path& scratch_folder();

// Replaces `path` with exactly these bytes.
void write_bytes(const std::filesystem::path& path, std::string_view bytes);

}  // namespace tb::fuzz
