#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tb::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

std::string read_file(const std::filesystem::path& path);
void write_file(const std::filesystem::path& path, std::string_view bytes);

// tests/data/<relative>
std::filesystem::path data_path(std::string_view relative);
// ../shared/fixtures/<relative>; empty when the shared fixtures are absent.
std::filesystem::path shared_fixture(std::string_view relative);

}  // namespace tb::test
