#include "text/text_file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>

#include "text/temp_files.h"
#include "text/unicode.h"

namespace tb {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Creates an empty file with a fresh, prefixed name beside target and returns its path, or an
// empty path. The file gets the old target's permissions, or the usual ones for a new file.
std::filesystem::path create_temp_beside(const std::filesystem::path& target) {
    struct stat old_file {};
    const bool replaces = ::stat(target.c_str(), &old_file) == 0 && S_ISREG(old_file.st_mode);
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> letter(0, 25);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string tail;
        for (int k = 0; k < 6; ++k) {
            tail += static_cast<char>('a' + letter(random));
        }
        tail += "-" + target.filename().string();
        const std::filesystem::path temp = target.parent_path() / temp_file_name(tail);
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            if (replaces) {
                ::fchmod(fd, old_file.st_mode & 07777);
            }
            ::close(fd);
            return temp;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    return {};
}

// The file a chain of symbolic links ends at, so that the link is kept and its target written,
// with the temporary file in the target's own folder. A loop is left as it is: opening fails.
std::filesystem::path follow_links(std::filesystem::path path) {
    constexpr int kMaxLinks = 40;
    std::error_code error;
    for (int hop = 0; hop < kMaxLinks && std::filesystem::is_symlink(path, error); ++hop) {
        const std::filesystem::path next = std::filesystem::read_symlink(path, error);
        if (error) {
            break;
        }
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

bool exists_as_other_than_file(const std::filesystem::path& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    return std::filesystem::exists(status) && !std::filesystem::is_regular_file(status);
}

}  // namespace

TextFileWriter::TextFileWriter(std::filesystem::path target)
    : target_(follow_links(std::move(target))) {
    if (exists_as_other_than_file(target_)) {
        not_a_file_ = true;
        return;
    }
    // What a killed earlier write left in this folder; only the program's own old files go.
    remove_stale_temp_files(target_.parent_path());
    temp_ = create_temp_beside(target_);
    if (temp_.empty()) {
        return;
    }
    // The file is new and empty. Opening it without truncation also spares the flush to disk
    // that ext4 starts when a file truncated on opening is closed.
    out_.open(temp_, std::ios::binary | std::ios::in | std::ios::out);
    if (!out_) {
        std::error_code ignored;
        std::filesystem::remove(temp_, ignored);
        return;
    }
    open_ = true;
    write(kByteOrderMark);
}

TextFileWriter::~TextFileWriter() {
    if (open_) {
        out_.close();
        std::error_code ignored;
        std::filesystem::remove(temp_, ignored);
    }
}

void TextFileWriter::write(std::string_view text) {
    if (!open_ || failed_) {
        return;
    }
    if (is_valid_utf8(text)) {
        out_.write(text.data(), static_cast<std::streamsize>(text.size()));
    } else {
        const std::string clean = sanitize_utf8(text);
        out_.write(clean.data(), static_cast<std::streamsize>(clean.size()));
    }
    failed_ = out_.fail();
}

bool TextFileWriter::close() {
    if (!open_) {
        return false;
    }
    open_ = false;
    out_.close();
    bool ok = !failed_ && !out_.fail();
    std::error_code error;
    if (ok) {
        std::filesystem::rename(temp_, target_, error);
        ok = !error;
    }
    if (!ok) {
        std::filesystem::remove(temp_, error);
    }
    return ok;
}

}  // namespace tb
