#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QtTest>
#include <cstdlib>

#include "app/app_controller.h"
#include "app/folder_tree.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/tagberry_app.h"
#include "cli/cli_runner.h"
#include "model/model.h"
#include "platform/log.h"
#include "storage/database.h"
#include "support/test_support.h"

using namespace tb;

// The program as a whole: start-up, a user action, a normal close, and the single running copy.
class ProgramTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        dir_ = std::make_unique<test::TempDir>();
        qputenv("TAGBERRY_DATA_DIR", QByteArray::fromStdString(dir_->path().string()));
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((dir_->path() / "config").string()));
        app::MessageBoxes::reset();
    }

    void startDeleteAndNormalClose() {
        int link_id = 0;
        {
            RecordingReporter reporter;
            Database db(reporter);
            QVERIFY(db.open_database(dir_->path()) == OpenStatus::Ok);
            Model model(db);
            model.load();
            int folder = model.folders.create_folder("News", kRootFolder);
            link_id = model.links.add_link_to(folder, "Daily", "https://daily.example", "");
            QVERIFY(link_id > 0);
        }
        app::TagberryApp program;
        QCOMPARE(program.start(), -1);
        app::MainWindow* window = program.window();
        QVERIFY(window->isVisible());
        QCOMPARE(program.model()->journal.enabled(), true);

        const Folder* folder = nullptr;
        for (const Folder& f : program.model()->folders.list()) {
            if (f.title == "News") {
                folder = &f;
            }
        }
        QVERIFY(folder != nullptr);
        window->select_folder(folder->id);
        QCOMPARE(window->list_model()->rowCount(), 1);
        program.controller()->links_selected({link_id});
        app::MessageBoxes::answer_next(QMessageBox::Ok);
        program.controller()->execute(app::kCmdDeleteLinks);
        QCOMPARE(window->list_model()->rowCount(), 0);
        QVERIFY(program.model()->journal.journal_not_empty());
        // Ctrl+Q from the list ends the program through the normal shutdown.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window->list_view(), Qt::Key_Q, Qt::ControlModifier);
        QTRY_VERIFY(!window->isVisible());
        QCOMPARE(app::MessageBoxes::shown().size(), size_t{1});

        const std::string log = test::read_file(dir_->path() / "tagberry.log");
        QVERIFY(log.find("\tLog file cleaned.\n") != std::string::npos);
        RecordingReporter reporter;
        Database db(reporter);
        QVERIFY(db.open_database(dir_->path()) == OpenStatus::Ok);
        QCOMPARE(db.query_int(sql_format("SELECT COUNT(*) FROM tb_links WHERE id = '%d'", link_id)),
                 std::int64_t{0});
        QCOMPARE(db.query_int("SELECT COUNT(*) FROM tb_undo"), std::int64_t{0});
    }

    void changesByAnotherProgramShowWithinThreeSeconds() {
        int outer = 0;
        int side = 0;
        int link_id = 0;
        {
            RecordingReporter reporter;
            Database db(reporter);
            QVERIFY(db.open_database(dir_->path()) == OpenStatus::Ok);
            Model model(db);
            model.load();
            outer = model.folders.create_folder("Outer", kRootFolder);
            model.folders.create_folder("Inner", outer);
            side = model.folders.create_folder("Side", kRootFolder);
            model.folders.create_folder("Leaf", side);
            link_id = model.links.add_link_to(outer, "Kept", "https://kept.example", "");
        }
        app::TagberryApp program;
        QCOMPARE(program.start(), -1);
        app::MainWindow* window = program.window();
        window->select_folder(outer);
        window->select_links({link_id});
        window->tree()->item_for(side)->setExpanded(true);
        QCOMPARE(program.controller()->state().selected_links, std::vector<RowId>{link_id});
        {
            RecordingReporter reporter;
            Database other(reporter);
            QVERIFY(other.open_database(dir_->path()) == OpenStatus::Ok);
            Model model(other);
            model.load();
            model.journal.set_enabled(true);
            model.folders.create_folder("From the tool", kRootFolder);
            QVERIFY(model.links.add_link_to(outer, "Added", "https://added.example", "") > 0);
        }
        auto shown = [window](const char* title) {
            return window->tree()->findItems(QString::fromUtf8(title), Qt::MatchRecursive).size();
        };
        QTRY_COMPARE_WITH_TIMEOUT(shown("From the tool"), 1, 3000);
        QCOMPARE(window->list_model()->rowCount(), 2);
        QCOMPARE(program.controller()->state().current_folder, outer);
        QCOMPARE(program.controller()->state().selected_links, std::vector<RowId>{link_id});
        QVERIFY(window->tree()->item_for(side)->isExpanded());
        program.window()->close();
    }

    // What the real command-line tool adds while the window is open shows within a few seconds,
    // with the current folder, the selection and the expansion kept.
    void changesByTheCommandLineToolShowInTheWindow() {
        int news = 0;
        int side = 0;
        int kept = 0;
        {
            RecordingReporter reporter;
            Database db(reporter);
            QVERIFY(db.open_database(dir_->path()) == OpenStatus::Ok);
            Model model(db);
            model.load();
            news = model.folders.create_folder("News", kRootFolder);
            side = model.folders.create_folder("Side", kRootFolder);
            model.folders.create_folder("Leaf", side);
            kept = model.links.add_link_to(news, "Kept", "https://kept.example/", "");
        }
        app::TagberryApp program;
        QCOMPARE(program.start(), -1);
        app::MainWindow* window = program.window();
        window->select_folder(news);
        window->select_links({kept});
        window->tree()->item_for(side)->setExpanded(true);

        const test::CliResult folder = test::run_cli(dir_->path(), {"mkdir", "/News", "Fresh"});
        QCOMPARE(folder.code, 0);
        const test::CliResult link = test::run_cli(
            dir_->path(), {"add", "/News", "https://added.example/", "--title", "Added"});
        QCOMPARE(link.code, 0);

        QTRY_COMPARE_WITH_TIMEOUT(
            window->tree()->findItems(QStringLiteral("Fresh"), Qt::MatchRecursive).size(), 1, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(window->list_model()->rowCount(), 2, 5000);
        QStringList titles;
        for (int row = 0; row < window->list_model()->rowCount(); ++row) {
            titles << QString::fromStdString(window->list_model()->record(row).title);
        }
        QVERIFY2(titles.contains(QStringLiteral("Added")), qPrintable(titles.join(u',')));
        QCOMPARE(program.controller()->state().current_folder, news);
        QCOMPARE(program.controller()->state().selected_links, std::vector<RowId>{kept});
        QVERIFY(window->tree()->item_for(side)->isExpanded());
        window->close();
    }

    // Size, position and splitter survive a restart; a position that no screen shows any more
    // opens at the primary screen's top-left.
    void windowReopensWhereItWasClosed() {
        const QRect placed(60, 40, 620, 430);
        {
            app::TagberryApp program;
            QCOMPARE(program.start(), -1);
            app::MainWindow* window = program.window();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            window->resize(placed.size());
            window->move(placed.topLeft());
            window->splitter()->setSizes({230, 390});
            QTRY_COMPARE(window->frameGeometry().topLeft(), placed.topLeft());
            QCOMPARE(window->size(), placed.size());
            QCOMPARE(window->tree()->width(), 230);
            window->close();
        }
        {
            app::TagberryApp program;
            QCOMPARE(program.start(), -1);
            app::MainWindow* window = program.window();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            QCOMPARE(window->frameGeometry().topLeft(), placed.topLeft());
            QCOMPARE(window->size(), placed.size());
            QCOMPARE(window->tree()->width(), 230);
            window->close();
        }
        {
            QSettings stored(QStringLiteral("Quillmont"), QStringLiteral("Tagberry 2.0"));
            stored.beginGroup(QStringLiteral("Settings"));
            stored.setValue(QStringLiteral("Window Pos X"), 7000);
            stored.setValue(QStringLiteral("Window Pos Y"), 5000);
            stored.sync();
        }
        app::TagberryApp program;
        QCOMPARE(program.start(), -1);
        app::MainWindow* window = program.window();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QRect primary = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(window->frameGeometry().topLeft(), primary.topLeft());
        QCOMPARE(window->size(), placed.size());
        window->close();
    }

    void secondCopyActivatesTheFirstAndExitsQuietly() {
        QProcess first;
        first.setProcessEnvironment(environment());
        first.start(QStringLiteral(TB_APP_PATH), {});
        QVERIFY(first.waitForStarted());
        // The first copy listens once its window exists.
        QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(dir_->path() / "tb2.db"), 10000);
        QTest::qWait(500);

        QProcess second;
        second.setProcessEnvironment(environment());
        QElapsedTimer timer;
        timer.start();
        second.start(QStringLiteral(TB_APP_PATH), {});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(first.state() == QProcess::Running);

        first.terminate();
        QVERIFY(first.waitForFinished(10000));
        // SIGTERM closes the database cleanly and keeps the settings.
        QVERIFY(
            std::filesystem::exists(dir_->path() / "config" / "Quillmont" / "Tagberry 2.0.conf"));
    }

    // SIGTERM (the session's end) and SIGKILL in the middle of a large import: the database
    // keeps none of it and stays sound.
    void interruptedImportLeavesNothingBehind() {
        const std::filesystem::path file = dir_->path() / "large.html";
        write_bookmark_file(file, 200000);
        for (bool kill : {false, true}) {
            std::filesystem::remove(dir_->path() / "tb2.db");
            QProcess child;
            child.setProcessEnvironment(environment());
            child.start(QStringLiteral(TB_IMPORT_CHILD_PATH),
                        {QString::fromStdString(file.string())});
            QVERIFY(child.waitForStarted());
            // Well into the import: its uncommitted pages spill into the write-ahead log.
            QTRY_VERIFY_WITH_TIMEOUT(file_size(dir_->path() / "tb2.db-wal") > 4'000'000, 30000);
            QVERIFY(child.state() == QProcess::Running);
            if (kill) {
                child.kill();
            } else {
                child.terminate();
            }
            QVERIFY(child.waitForFinished(20000));
            if (!kill) {
                QCOMPARE(child.exitStatus(), QProcess::NormalExit);
                QCOMPARE(child.exitCode(), 0);
            }

            RecordingReporter reporter;
            Database db(reporter);
            QVERIFY(db.open_database(dir_->path()) == OpenStatus::Ok);
            QCOMPARE(db.query_int("SELECT COUNT(*) FROM tb_folders WHERE title = 'Interrupted'"),
                     std::int64_t{0});
            QCOMPARE(db.query_int("SELECT COUNT(*) FROM tb_links"), std::int64_t{0});
            Statement check = *db.prepare("PRAGMA integrity_check");
            QVERIFY(check.step() == tb::Step::Row);
            QCOMPARE(check.text(0), std::string("ok"));
        }
    }

    void unusableDatabaseEndsWithExitCodeOne() {
        const std::string garbage(2048, 'x');
        test::write_file(dir_->path() / "tb2.db", garbage);
        app::MessageBoxes::answer_next(QMessageBox::Ok);
        app::TagberryApp program;
        QCOMPARE(program.start(), 1);
        QCOMPARE(app::MessageBoxes::shown().size(), size_t{1});
        QVERIFY(app::MessageBoxes::shown().front().contains(QStringLiteral("tb2.db")));
        QCOMPARE(test::read_file(dir_->path() / "tb2.db"), garbage);
    }

private:
    static std::uintmax_t file_size(const std::filesystem::path& file) {
        std::error_code ec;
        const std::uintmax_t size = std::filesystem::file_size(file, ec);
        return ec ? 0 : size;
    }

    static void write_bookmark_file(const std::filesystem::path& file, int links) {
        std::string text =
            "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<TITLE>Bookmarks</TITLE>\n<DL><p>\n";
        for (int i = 0; i < links; ++i) {
            if (i % 1000 == 0) {
                text += (i > 0 ? "</DL><p>\n" : "") + std::string("<DT><H3>Folder ") +
                        std::to_string(i) + "</H3>\n<DL><p>\n";
            }
            const std::string n = std::to_string(i);
            text += "<DT><A HREF=\"https://site" + n + ".example/page\">Link " + n + "</A>\n";
        }
        text += "</DL><p>\n</DL><p>\n";
        test::write_file(file, text);
    }

    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TAGBERRY_DATA_DIR"),
                   QString::fromStdString(dir_->path().string()));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"),
                   QString::fromStdString((dir_->path() / "config").string()));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return env;
    }

    std::unique_ptr<test::TempDir> dir_;
};

QTEST_MAIN(ProgramTest)
#include "program_test.moc"
