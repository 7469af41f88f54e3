#pragma once

#include <sys/resource.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>

namespace tb::test {

// A text in and the text expected out, for table-driven tests.
struct TextCase {
    std::string input;
    std::string expected;
};

inline void PrintTo(const TextCase& c, std::ostream* os) {
    *os << '"' << c.input << '"';
}

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

// A file size limit for the whole process while it lives: writes fail part-way, as on a full
// disk, instead of raising a signal.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*old_handler_)(int) = nullptr;
};

std::string read_file(const std::filesystem::path& path);
void write_file(const std::filesystem::path& path, std::string_view bytes);

// tests/data/<relative>
std::filesystem::path data_path(std::string_view relative);
// ../shared/fixtures/<relative>; empty when the shared fixtures are absent.
std::filesystem::path shared_fixture(std::string_view relative);
// Why a test cannot run without ../shared/fixtures/<relative>.
std::string shared_fixture_absent(std::string_view relative);
// Under CI (the environment variable CI set) an absent shared fixture is a failure, not a skip.
bool shared_fixtures_required();

}  // namespace tb::test

// Declares `name` as the shared fixture <relative>. When it is absent the GoogleTest test ends:
// skipped with the reason (CTest lists it as skipped), or failed under CI.
#define TB_SHARED_FIXTURE_OR_SKIP(name, relative)                                    \
    const std::filesystem::path name = ::tb::test::shared_fixture(relative);         \
    if (name.empty()) {                                                              \
        if (::tb::test::shared_fixtures_required()) {                                \
            FAIL() << ::tb::test::shared_fixture_absent(relative) << " (CI is set)"; \
        }                                                                            \
        GTEST_SKIP() << ::tb::test::shared_fixture_absent(relative);                 \
    }
