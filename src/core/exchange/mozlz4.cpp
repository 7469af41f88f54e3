#include "exchange/mozlz4.h"

#include <lz4.h>

#include <cstdint>

namespace tb {

namespace {

constexpr std::string_view kMagic{"mozLz40\0", 8};
constexpr std::size_t kHeaderSize = 12;

std::uint32_t little_endian_32(std::string_view bytes) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
    }
    return value;
}

void report_damaged(const std::string& name, Reporter& reporter) {
    reporter.report_text(
        TB_TRANSLATE_NOOP("Strings", "The bookmark backup %1 is cut short or damaged."), {name});
}

}  // namespace

std::optional<std::string> decode_mozlz4(std::string_view bytes, const std::string& name,
                                         Reporter& reporter) {
    if (!bytes.starts_with(kMagic)) {
        reporter.report_text(
            TB_TRANSLATE_NOOP("Strings", "%1 is not a compressed bookmark backup."), {name});
        return std::nullopt;
    }
    if (bytes.size() < kHeaderSize) {
        report_damaged(name, reporter);
        return std::nullopt;
    }
    std::uint32_t declared = little_endian_32(bytes.substr(kMagic.size(), 4));
    if (declared > kMaxMozLz4Size) {
        reporter.report_text(
            TB_TRANSLATE_NOOP("Strings",
                              "The bookmark backup %1 declares %2 bytes, more than the %3 MB "
                              "that are read."),
            {name, std::to_string(declared), std::to_string(kMaxMozLz4Size / (1024 * 1024))});
        return std::nullopt;
    }
    std::string_view block = bytes.substr(kHeaderSize);
    if (block.size() > static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(declared)))) {
        report_damaged(name, reporter);
        return std::nullopt;
    }
    std::string text(declared, '\0');
    int decoded = LZ4_decompress_safe(block.data(), text.data(), static_cast<int>(block.size()),
                                      static_cast<int>(declared));
    if (decoded < 0 || static_cast<std::uint32_t>(decoded) != declared) {
        report_damaged(name, reporter);
        return std::nullopt;
    }
    return text;
}

}  // namespace tb
