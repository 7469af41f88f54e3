#include <gtest/gtest.h>

#include "cli/cli_runner.h"
#include "core/feeds/local_http_server.h"
#include "model/model.h"
#include "support/test_support.h"

namespace tb::test {
namespace {

using Response = LocalHttpServer::Response;

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
        model.journal.purge();
    }

    std::string url_of(int id) {
        RecordingReporter reporter;
        Database db(reporter);
        EXPECT_EQ(db.open_database(data.path()), OpenStatus::Ok);
        auto row = db.prepare(sql_format("SELECT url FROM tb_links WHERE id = %d", id));
        return row && row->step() ? row->text(0) : std::string();
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

TEST_F(CheckCommandTest, RefusesUnknownFoldersAndOptions) {
    const CliResult folder = run_cli(data.path(), {"check", "/Nowhere"});
    EXPECT_EQ(folder.code, 1);
    EXPECT_NE(folder.err.find("No folder '/Nowhere'."), std::string::npos) << folder.err;
    EXPECT_EQ(run_cli(data.path(), {"check", "--fix"}).code, 2);
    EXPECT_EQ(server.requests(), 0);
}

}  // namespace
}  // namespace tb::test
