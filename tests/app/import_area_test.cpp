#include <QProgressDialog>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include "app/app_controller.h"
#include "app/import_area.h"
#include "app/import_dialog.h"
#include "app_test_support.h"
#include "fake_ui_services.h"

using namespace tb;
using namespace tb::app;
using namespace tb::test;

namespace {

// No dialog of the controller is expected; a New Folder request is counted.
class QuietUi : public test::FakeUiServices {
public:
    std::optional<QString> new_folder_text() override {
        ++folder_requests;
        return std::nullopt;
    }

    int folder_requests = 0;
};

std::string bookmark_file(int links) {
    std::string text = "<DL><p>\n    <DT><H3>News</H3>\n    <DL><p>\n";
    for (int i = 0; i < links; ++i) {
        text += "        <DT><A HREF=\"https://n" + std::to_string(i) + ".example/\">N" +
                std::to_string(i) + "</A>\n";
    }
    return text + "    </DL><p>\n    <DT><A HREF=\"https://top.example/\">Top</A>\n</DL><p>\n";
}

// A browser-like export: `folders` folders of `links` links each.
std::string large_bookmark_file(int folders, int links) {
    std::string text = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
    for (int f = 0; f < folders; ++f) {
        text += "    <DT><H3 ADD_DATE=\"1600000000\">Folder " + std::to_string(f) +
                "</H3>\n    <DL><p>\n";
        for (int i = 0; i < links; ++i) {
            text += "        <DT><A HREF=\"https://site" + std::to_string(f) + ".example/page/" +
                    std::to_string(i) + "\" ADD_DATE=\"1600000000\">Page " + std::to_string(i) +
                    " of the release notes &amp; guide</A>\n";
        }
        text += "    </DL><p>\n";
    }
    return text + "</DL><p>\n";
}

}  // namespace

class ImportAreaTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TestModel> data;
    std::unique_ptr<Settings> settings;
    std::unique_ptr<QuietUi> ui;
    std::unique_ptr<QWidget> window;
    std::unique_ptr<AppController> controller;
    std::unique_ptr<ImportArea> area;

    std::int64_t count(const char* sql) { return data->db.query_int(sql); }

private slots:
    void init() {
        MessageBoxes::reset();
        data = std::make_unique<test::TestModel>();
        settings = std::make_unique<Settings>();
        ui = std::make_unique<QuietUi>();
        window = std::make_unique<QWidget>();
        controller = std::make_unique<AppController>(*data->model, *settings, *ui);
        controller->set_dialog_parent(window.get());
        area = std::make_unique<ImportArea>(*controller);
    }

    void cleanup() {
        area.reset();
        controller.reset();
        window.reset();
    }

    void importsABookmarkFileThroughTheDialog() {
        const auto file = data->dir / "bookmarks.html";
        test::write_file(file, bookmark_file(3));
        QVERIFY(controller->status(kCmdImport).enabled);
        QSignalSpy tree(controller.get(), &AppController::tree_refill_requested);
        QSignalSpy list(controller.get(), &AppController::list_refill_requested);
        bool reached = false;
        on_next_dialog<ImportDialog>(
            [&file](ImportDialog* dialog) {
                dialog->choose_file = [&file](const QString&) {
                    return QString::fromStdString(file.string());
                };
                dialog->browse();
                click_button(dialog, QStringLiteral("&Proceed"));
            },
            &reached);
        controller->execute(kCmdImport);
        QVERIFY(reached);

        const ImportResult& result = area->last_result();
        QCOMPARE(int(result.status), int(ImportStatus::Done));
        QCOMPARE(result.top_title, std::string("Mozilla Bookmarks"));
        QCOMPARE(result.links, 4);
        const Folder* top = data->model->folders.find(result.top_folder);
        QVERIFY(top != nullptr);
        QCOMPARE(top->parent, kRootFolder);
        QCOMPARE(data->model->links.links().size(), size_t(4));
        QCOMPARE(tree.count(), 1);
        QCOMPARE(list.count(), 1);
        // Nothing was journalled, and journaling is back on.
        QCOMPARE(count("SELECT COUNT(*) FROM tb_undo"), 0);
        QVERIFY(data->model->journal.enabled());
        QVERIFY(!controller->busy());
    }

    void cancelledDialogImportsNothing() {
        QSignalSpy tree(controller.get(), &AppController::tree_refill_requested);
        on_next_dialog<ImportDialog>([](ImportDialog* dialog) { dialog->reject(); });
        controller->execute(kCmdImport);
        QCOMPARE(tree.count(), 0);
        QCOMPARE(count("SELECT COUNT(*) FROM tb_folders"), 1);
    }

    void cancelRollsTheImportBackAndBlocksCommands() {
        data->folder("Kept");
        data->link("Kept link", "https://kept.example/", data->model->folders.list().back().id);
        const std::int64_t folders = count("SELECT COUNT(*) FROM tb_folders");
        const std::int64_t links = count("SELECT COUNT(*) FROM tb_links");
        const auto file = data->dir / "big.html";
        test::write_file(file, bookmark_file(500));

        // New Folder is enabled here, so only the running import can hold it back.
        controller->folder_selected(kRootFolder, false);
        QVERIFY(controller->status(kCmdNewFolder).enabled);
        bool found = false;
        bool hidden_at_first = false;
        bool shown_later = false;
        area->ask_import = [&] {
            // Runs at the import's first progress update, which lets events through.
            QTimer::singleShot(0, [&] {
                controller->execute(kCmdNewFolder);
                if (auto* progress = window->findChild<QProgressDialog*>()) {
                    found = true;
                    hidden_at_first = !progress->isVisible();
                    // Past half a second the dialog shows itself, window-modal.
                    QThread::msleep(600);
                    QCoreApplication::processEvents();
                    shown_later =
                        progress->isVisible() && progress->windowModality() == Qt::WindowModal;
                    progress->cancel();
                }
            });
            ImportRequest request;
            request.path = file;
            return std::optional<ImportRequest>(request);
        };
        QSignalSpy tree(controller.get(), &AppController::tree_refill_requested);
        controller->execute(kCmdImport);

        QVERIFY(found);
        QVERIFY(hidden_at_first);
        QVERIFY(shown_later);
        QCOMPARE(int(area->last_result().status), int(ImportStatus::Cancelled));
        QCOMPARE(ui->folder_requests, 0);
        QCOMPARE(count("SELECT COUNT(*) FROM tb_folders"), folders);
        QCOMPARE(count("SELECT COUNT(*) FROM tb_links"), links);
        QCOMPARE(data->model->links.links().size(), size_t(1));
        QVERIFY(data->model->journal.enabled());
        QCOMPARE(tree.count(), 1);

        // Commands run again once the import is over.
        controller->execute(kCmdNewFolder);
        QCOMPARE(ui->folder_requests, 1);
    }

    // Reading and parsing a large file let the window repaint, and its Cancel already works.
    void theWindowTurnsWhileALargeFileIsReadAndCancelStopsIt() {
        const std::int64_t folders = count("SELECT COUNT(*) FROM tb_folders");
        const std::int64_t links = count("SELECT COUNT(*) FROM tb_links");
        const auto file = data->dir / "large.html";
        test::write_file(file, large_bookmark_file(300, 1000));

        const QString reading =
            QCoreApplication::translate("tb::app::ImportArea", "Reading the file...");
        QElapsedTimer clock;
        qint64 last_tick = 0;
        qint64 longest_gap = 0;
        qint64 first_reading_tick = -1;
        int reading_ticks = 0;
        QTimer timer;
        timer.setInterval(10);
        connect(&timer, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            longest_gap = std::max(longest_gap, now - last_tick);
            last_tick = now;
            auto* progress = window->findChild<QProgressDialog*>();
            if (progress == nullptr || progress->labelText() != reading) {
                return;
            }
            if (first_reading_tick < 0) {
                first_reading_tick = now;
            }
            if (++reading_ticks == 3) {
                progress->cancel();
            }
        });
        area->ask_import = [&] {
            clock.start();
            timer.start();
            ImportRequest request;
            request.path = file;
            return std::optional<ImportRequest>(request);
        };
        controller->execute(kCmdImport);
        timer.stop();

        QVERIFY2(reading_ticks >= 3, qPrintable(QString::number(reading_ticks)));
        QVERIFY2(first_reading_tick < 1000, qPrintable(QString::number(first_reading_tick)));
        QVERIFY2(longest_gap < 1000, qPrintable(QString::number(longest_gap)));
        QCOMPARE(int(area->last_result().status), int(ImportStatus::Cancelled));
        QCOMPARE(count("SELECT COUNT(*) FROM tb_folders"), folders);
        QCOMPARE(count("SELECT COUNT(*) FROM tb_links"), links);
        QVERIFY(!controller->busy());
    }
};

QTEST_MAIN(ImportAreaTest)
#include "import_area_test.moc"
