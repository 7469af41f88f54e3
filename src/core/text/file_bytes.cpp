#include "text/file_bytes.h"

#include <algorithm>
#include <fstream>

namespace tb {

namespace {

constexpr std::size_t kReadPiece = std::size_t{4} << 20;

}  // namespace

std::optional<std::string> read_file_head(const std::filesystem::path& file, std::size_t size) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string head(size, '\0');
    in.read(head.data(), static_cast<std::streamsize>(size));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head;
}

std::optional<std::string> read_file_bytes(const std::filesystem::path& file) {
    return read_file_bytes(file, [](std::size_t, std::size_t) { return true; });
}

std::optional<std::string> read_file_bytes(const std::filesystem::path& file,
                                           const ByteSteps& step) {
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec)) {
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    // Only a hint: a pipe has no size, and a file that grows or shrinks is read to its end.
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    const std::size_t expected = ec ? 0 : static_cast<std::size_t>(size);
    std::string bytes;
    bytes.reserve(expected);
    std::string piece(kReadPiece, '\0');
    while (in) {
        in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
        bytes.append(piece.data(), static_cast<std::size_t>(in.gcount()));
        if (!step(bytes.size(), std::max(bytes.size(), expected))) {
            return std::nullopt;
        }
    }
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace tb
