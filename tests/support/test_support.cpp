#include "support/test_support.h"

#include <stdlib.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tb::test {

namespace {

// Every test program runs with a data folder of its own, so that what a test writes by default
// (the log above all) never lands in the source or build tree, nor in the user's data.
struct OwnDataFolder {
    OwnDataFolder() { setenv("TAGBERRY_DATA_DIR", folder.path().c_str(), 1); }
    TempDir folder;
};
const OwnDataFolder g_own_data_folder;

}  // namespace

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tb-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, old_handler_);
}

std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void write_file(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::filesystem::path data_path(std::string_view relative) {
    return std::filesystem::path(TB_TEST_DATA) / relative;
}

std::filesystem::path shared_fixture(std::string_view relative) {
    std::filesystem::path path = std::filesystem::path(TB_SHARED_FIXTURES) / relative;
    return std::filesystem::exists(path) ? path : std::filesystem::path();
}

std::string shared_fixture_absent(std::string_view relative) {
    return "shared fixture absent: " +
           (std::filesystem::path(TB_SHARED_FIXTURES) / relative).string();
}

bool shared_fixtures_required() {
    return std::getenv("CI") != nullptr;
}

}  // namespace tb::test
