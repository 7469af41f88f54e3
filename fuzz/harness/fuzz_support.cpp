#include "harness/fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>

#include "platform/log.h"

namespace tb::fuzz {

namespace {

namespace fs = std::filesystem;

// Invalid bytes are shown escaped so that the report itself stays readable.
std::string printable(std::string_view bytes) {
    constexpr std::size_t kShownBytes = 400;
    std::string out;
    for (unsigned char c : bytes.substr(0, kShownBytes)) {
        if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            out += escaped;
        }
    }
    return out;
}

class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "tb-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            fail("cannot create a scratch folder", pattern);
        }
        path_ = pattern;
        // The importers log what they skip; a long run must not fill the disk with it.
        log_set_file("/dev/null", nullptr);
    }
    ~ScratchFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// Bytes following a lead byte, and the smallest code point such a sequence may encode.
struct SequenceShape {
    int continuation_bytes;
    char32_t minimum;
};

bool sequence_shape(unsigned char lead, SequenceShape& shape) {
    if (lead >= 0xc0 && lead <= 0xdf) {
        shape = {1, 0x80};
    } else if (lead >= 0xe0 && lead <= 0xef) {
        shape = {2, 0x800};
    } else if (lead >= 0xf0 && lead <= 0xf7) {
        shape = {3, 0x10000};
    } else {
        return false;
    }
    return true;
}

}  // namespace

void fail(std::string_view what, std::string_view detail) {
    std::cerr << "Invariant broken: " << what;
    if (!detail.empty()) {
        std::cerr << ": \"" << printable(detail) << '"';
    }
    std::cerr << std::endl;
    std::abort();
}

void require(bool holds, std::string_view what, std::string_view detail) {
    if (!holds) {
        fail(what, detail);
    }
}

std::string_view input_text(const std::uint8_t* data, std::size_t size) {
    return size == 0 ? std::string_view()
                     : std::string_view(reinterpret_cast<const char*>(data), size);
}

std::vector<std::string_view> split_input(std::string_view input, std::size_t count) {
    std::vector<std::string_view> parts;
    while (parts.size() + 1 < count) {
        std::size_t end = input.find('\0');
        if (end == std::string_view::npos) {
            break;
        }
        parts.push_back(input.substr(0, end));
        input.remove_prefix(end + 1);
    }
    parts.push_back(input);
    parts.resize(count);
    return parts;
}

bool reference_valid_utf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        SequenceShape shape{};
        if (!sequence_shape(lead, shape) || i + shape.continuation_bytes >= bytes.size()) {
            return false;
        }
        char32_t code_point = lead & (0x3f >> shape.continuation_bytes);
        for (int k = 1; k <= shape.continuation_bytes; ++k) {
            auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xc0) != 0x80) {
                return false;
            }
            code_point = (code_point << 6) | (next & 0x3f);
        }
        if (code_point < shape.minimum || code_point > 0x10ffff ||
            (code_point >= 0xd800 && code_point <= 0xdfff)) {
            return false;
        }
        i += shape.continuation_bytes + 1;
    }
    return true;
}

const std::filesystem::path& scratch_folder() {
    static ScratchFolder folder;
    return folder.path();
}

void write_bytes(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    require(static_cast<bool>(out), "cannot write a scratch file", path.string());
}

}  // namespace tb::fuzz
