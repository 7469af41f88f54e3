#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace tb::test {

// A Netscape bookmark file of `links` links: groups of four folders of 50 links each, every
// title and address unique and tagged with `tag`.
void write_generated_bookmarks(const std::filesystem::path& file, int links,
                               const std::string& tag = "g");

// Reads the data folder's database through a connection of its own, as another program would.
class DatabaseProbe {
public:
    explicit DatabaseProbe(const std::filesystem::path& data_dir);
    // First column of the first row; -1 when the statement fails.
    std::int64_t number(const std::string& sql) const;
    // Runs statements that return no rows, as another program writing the file would.
    bool run(const std::string& sql) const;
    // The result of PRAGMA integrity_check: "ok" for a sound file.
    std::string integrity() const;
    // The row counts of the program's tree tables and a digest of every row, to tell whether
    // anything changed.
    std::string contents() const;

private:
    std::filesystem::path file_;
};

}  // namespace tb::test
