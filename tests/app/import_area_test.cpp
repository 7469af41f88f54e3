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
};

QTEST_MAIN(ImportAreaTest)
#include "import_area_test.moc"
