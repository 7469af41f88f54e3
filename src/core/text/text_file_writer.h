#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace tb {

// Writes a UTF-8 file with a byte-order mark. The text goes to a temporary file beside the
// target, which replaces the target only when every write and the close succeeded, so a failed
// save never leaves a truncated file behind. The files written are copies of what the database
// holds, so the write is not forced to disk; the rename over an existing file already makes the
// usual file systems allocate the data first. A symbolic link is followed, and its target written;
// a target that exists but is no regular file (a folder, a device, a FIFO) is not opened. The
// temporary file's name starts with kTempFilePrefix; opening a writer removes such files that a
// killed process left in the folder more than an hour ago.
class TextFileWriter {
public:
    explicit TextFileWriter(std::filesystem::path target);
    ~TextFileWriter();

    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;

    bool is_open() const { return open_; }
    // Whether the target was refused for being no regular file.
    bool target_not_a_file() const { return not_a_file_; }

    // Invalid UTF-8 is written as U+FFFD.
    void write(std::string_view text);

    // Flushes, closes and renames over the target; false if anything failed on the way.
    bool close();

private:
    std::filesystem::path target_;
    std::filesystem::path temp_;
    std::ofstream out_;
    bool open_ = false;
    bool failed_ = false;
    bool not_a_file_ = false;
};

}  // namespace tb
