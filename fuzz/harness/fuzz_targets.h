#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace tb::fuzz {

// One harness body: what a libFuzzer entry point and the replay test both run on one input.
// It returns normally when every invariant holds and aborts when one does not.
using HarnessBody = void (*)(const std::uint8_t* data, std::size_t size);

struct FuzzTarget {
    std::string_view name;  // also the folder of its seeds and reproducers
    HarnessBody body;
};

void fuzz_bookmark_file(const std::uint8_t* data, std::size_t size);
void fuzz_shortcut_ini(const std::uint8_t* data, std::size_t size);
void fuzz_legacy_import(const std::uint8_t* data, std::size_t size);
void fuzz_html_harvest(const std::uint8_t* data, std::size_t size);
void fuzz_feed_parser(const std::uint8_t* data, std::size_t size);
void fuzz_search_like(const std::uint8_t* data, std::size_t size);
void fuzz_text_codecs(const std::uint8_t* data, std::size_t size);

std::span<const FuzzTarget> fuzz_targets();

}  // namespace tb::fuzz
