#include <QProcess>
#include <QtTest>
#include <cstdlib>

#include "app/app_controller.h"
#include "app/folder_tree.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/tagberry_app.h"
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
        window->close();

        const std::string log = test::read_file(dir_->path() / "tagberry.log");
        QVERIFY(log.find("\tLog file cleaned.\n") != std::string::npos);
        RecordingReporter reporter;
        Database db(reporter);
        QVERIFY(db.open_database(dir_->path()) == OpenStatus::Ok);
        QCOMPARE(db.query_int(sql_format("SELECT COUNT(*) FROM tb_links WHERE id = '%d'", link_id)),
                 std::int64_t{0});
        QCOMPARE(db.query_int("SELECT COUNT(*) FROM tb_undo"), std::int64_t{0});
    }

    void changesByAnotherProgramShowOnReturn() {
        app::TagberryApp program;
        QCOMPARE(program.start(), -1);
        {
            RecordingReporter reporter;
            Database other(reporter);
            QVERIFY(other.open_database(dir_->path()) == OpenStatus::Ok);
            QVERIFY(
                other.easy_query("INSERT INTO tb_folders (title, parent) VALUES ('From the "
                                 "tool', '1')"));
        }
        QCOMPARE(program.window()
                     ->tree()
                     ->findItems(QStringLiteral("From the tool"), Qt::MatchRecursive)
                     .size(),
                 0);
        emit qApp->applicationStateChanged(Qt::ApplicationActive);
        QCOMPARE(program.window()
                     ->tree()
                     ->findItems(QStringLiteral("From the tool"), Qt::MatchRecursive)
                     .size(),
                 1);
        program.window()->close();
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
