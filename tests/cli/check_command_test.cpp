#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "cli/cli_runner.h"
#include "core/feeds/local_http_server.h"
#include "model/model.h"
#include "support/test_support.h"

extern char** environ;

namespace tb::test {
namespace {

using Response = LocalHttpServer::Response;

// An address on its own loopback host whose port has nothing listening.
std::string refused_url(int host) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(0x7F000000 | static_cast<unsigned>(host));
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), length);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return "http://127.0.0." + std::to_string(host) + ":" +
           std::to_string(ntohs(address.sin_port)) + "/";
}

// A data folder with the links of one folder, made through the model like the program does.
class CheckCommandTest : public ::testing::Test {
protected:
    CheckCommandTest() {
        server.route("/ok", Response(200, "page"));
        server.route("/old", Response(301, {}, {"Location: " + server.url("/new")}));
        server.route("/new", Response(200, "page"));
        server.route("/gone", Response(410));
        RecordingReporter reporter;
        Database db(reporter);
        EXPECT_EQ(db.open_database(data.path()), OpenStatus::Ok);
        Model model(db);
        model.load();
        model.journal.set_enabled(true);
        shelf = model.folders.create_folder("Shelf", kRootFolder);
        const int other = model.folders.create_folder("Other", kRootFolder);
        ok = model.links.add_link_to(shelf, "ok", server.url("/ok"), "");
        moved = model.links.add_link_to(shelf, "old", server.url("/old"), "");
        gone = model.links.add_link_to(shelf, "gone", server.url("/gone"), "");
        model.links.add_link_to(shelf, "mail", "mailto:a@example.com", "");
        model.links.add_link_to(other, "elsewhere", server.url("/ok"), "");
        EXPECT_TRUE(model.journal.purge());
    }

    void add_folder(const std::string& title, const std::vector<std::string>& urls) {
        RecordingReporter reporter;
        Database db(reporter);
        ASSERT_EQ(db.open_database(data.path()), OpenStatus::Ok);
        Model model(db);
        model.load();
        const int folder = model.folders.create_folder(title, kRootFolder);
        for (const std::string& url : urls) {
            model.links.add_link_to(folder, url, url, "");
        }
    }

    std::int64_t query(const std::string& sql) {
        RecordingReporter reporter;
        Database db(reporter);
        EXPECT_EQ(db.open_database(data.path()), OpenStatus::Ok);
        return db.query_int(sql, {}, -1);
    }

    std::string url_of(int id) {
        RecordingReporter reporter;
        Database db(reporter);
        EXPECT_EQ(db.open_database(data.path()), OpenStatus::Ok);
        auto row = db.prepare(sql_format("SELECT url FROM tb_links WHERE id = %d", id));
        return row && row->step() == Step::Row ? row->text(0) : std::string();
    }

    LocalHttpServer server;
    TempDir data;
    int shelf = 0, ok = 0, moved = 0, gone = 0;
};

TEST_F(CheckCommandTest, PrintsOneLinePerLinkAndExitsZeroWithBrokenLinks) {
    const CliResult run = run_cli(data.path(), {"check", "/Shelf"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find(std::to_string(ok) + "\tok\t200\t" + server.url("/ok") + "\t-\tok\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find(std::to_string(moved) + "\tmoved permanently\t200\t" +
                           server.url("/old") + "\t" + server.url("/new") + "\tmoved\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find(std::to_string(gone) + "\tgone\t410\t" + server.url("/gone") +
                           "\t-\tsuspect\n"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 3) << run.out;
    EXPECT_NE(run.err.find("Skipped 1 links"), std::string::npos) << run.err;
    EXPECT_EQ(url_of(moved), server.url("/old"));
}

TEST_F(CheckCommandTest, JsonAndFixMovedThenUndo) {
    const CliResult run = run_cli(data.path(), {"--json", "check", "--fix-moved"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("\"result\":\"moved permanently\",\"status\":200,\"final_url\":\"" +
                           server.url("/new") + "\",\"health\":\"moved\""),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\"checked\":4,\"skipped\":1,\"fixed\":1"), std::string::npos)
        << run.out;
    EXPECT_EQ(url_of(moved), server.url("/new"));
    EXPECT_EQ(run_cli(data.path(), {"undo"}).code, 0);
    EXPECT_EQ(url_of(moved), server.url("/old"));
}

TEST_F(CheckCommandTest, NoNetworkStoresNothingAndSaysSo) {
    add_folder("Dead", {refused_url(2), refused_url(3), refused_url(4)});
    const CliResult run = run_cli(data.path(), {"check", "/Dead"});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("network unavailable"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(query("SELECT COUNT(*) FROM tb_link_checks"), 0);
}

TEST_F(CheckCommandTest, KilledMidRunLeavesASoundDatabase) {
    Response slow(200);
    slow.delay = std::chrono::seconds(30);
    server.route("/ok", slow);
    std::vector<std::string> words = {TB_CLI_PATH, "--data-dir", data.path().string(), "check"};
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, TB_CLI_PATH, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (server.requests() < 3 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(query("SELECT COUNT(*) FROM tb_link_checks"), 0);

    server.route("/ok", Response(200, "page"));
    const CliResult again = run_cli(data.path(), {"check", "/Shelf"});
    EXPECT_EQ(again.code, 0) << again.err;
    EXPECT_EQ(query("SELECT COUNT(*) FROM tb_link_checks"), 3);
}

TEST_F(CheckCommandTest, RefusesUnknownFoldersAndOptions) {
    const CliResult folder = run_cli(data.path(), {"check", "/Nowhere"});
    EXPECT_EQ(folder.code, 1);
    EXPECT_NE(folder.err.find("No folder '/Nowhere'."), std::string::npos) << folder.err;
    EXPECT_EQ(run_cli(data.path(), {"check", "--fix"}).code, 2);
    EXPECT_EQ(server.requests(), 0);
}

}  // namespace
}  // namespace tb::test
