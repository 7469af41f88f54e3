#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include "app/app_controller.h"
#include "app/import_area.h"
#include "app/import_dialog.h"
#include "app/main_window.h"
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

// The texts of an item's children in the tree.
QStringList child_texts(const QTreeWidgetItem* item) {
    QStringList texts;
    for (int i = 0; item != nullptr && i < item->childCount(); ++i) {
        texts << item->child(i)->text(0);
    }
    return texts;
}

// A home folder whose browsers hold the shared fixture profiles, linked rather than copied.
struct BrowserHome {
    BrowserHome(const std::filesystem::path& places, const std::filesystem::path& bookmarks) {
        const auto firefox = home / ".mozilla/firefox";
        std::filesystem::create_directories(firefox / "abc.default-release");
        std::filesystem::create_directories(home / ".config/chromium/Default");
        std::filesystem::create_symlink(places, firefox / "abc.default-release/places.sqlite");
        std::filesystem::create_symlink(bookmarks, home / ".config/chromium/Default/Bookmarks");
        test::write_file(firefox / "profiles.ini",
                         "[Profile0]\nName=default-release\nIsRelative=1\n"
                         "Path=abc.default-release\n");
        for (const char* name : {"HOME", "XDG_CONFIG_HOME"}) {
            saved.emplace_back(name, qgetenv(name));
        }
        qputenv("HOME", QFile::encodeName(QString::fromStdString(home.path().string())));
        qputenv("XDG_CONFIG_HOME",
                QFile::encodeName(QString::fromStdString((home / ".config").string())));
    }
    ~BrowserHome() {
        for (const auto& [name, value] : saved) {
            qputenv(name, value);
        }
    }

    test::TempDir home;
    std::vector<std::pair<const char*, QByteArray>> saved;
};

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

    // Runs inside the dialog's modal loop; returns what went wrong, empty once accepted.
    static QString drive_browser_import(ImportDialog* dialog, const QString& profile, bool update) {
        // Keys reach the dialog's mnemonics only once it has taken over from the main window,
        // a little after exec() has begun.
        dialog->activateWindow();
        if (!QTest::qWaitFor([dialog] { return QApplication::activeWindow() == dialog; })) {
            return QStringLiteral("the dialog never became active");
        }
        // A mnemonic clicks its button a moment later, as the button shows the press first.
        QTest::keyClick(dialog, Qt::Key_R, Qt::AltModifier);
        if (!QTest::qWaitFor(
                [dialog] { return dialog->source() == ImportSource::BrowserProfile; })) {
            return QStringLiteral("Alt+R did not choose the browser source");
        }
        QListWidget* list = dialog->profiles();
        QListWidgetItem* item = nullptr;
        for (int row = 0; row < list->count(); ++row) {
            if (list->item(row)->text().startsWith(profile + QStringLiteral(" ("))) {
                item = list->item(row);
            }
        }
        if (item == nullptr) {
            return QStringLiteral("no profile ") + profile;
        }
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(item).center());
        if (!update && dialog->target()->text() != profile) {
            return QStringLiteral("target ") + dialog->target()->text();
        }
        if (update) {
            QTest::keyClick(dialog, Qt::Key_O, Qt::AltModifier);
            if (!QTest::qWaitFor([dialog] { return dialog->update_earlier()->isChecked(); })) {
                return QStringLiteral("Alt+O did not tick the update");
            }
        }
        click_button(dialog, QStringLiteral("&Proceed"));
        return dialog->result() == QDialog::Accepted ? QString()
                                                     : QStringLiteral("Proceed was refused");
    }

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

    // Import Data driven by keys and clicks on the real dialog: the source "Web browser profile"
    // by its mnemonic, a discovered profile from the list, Proceed; the tree then shows the
    // browser's own folders, and an update of the same profile adds nothing.
    void browserProfilesImportThroughTheDialogIntoTheTree() {
        const auto places =
            test::shared_fixture("browsers/browser-history/linux-firefox/places.sqlite");
        const auto bookmarks = test::shared_fixture("browsers/buku/Bookmarks");
        if (places.empty() || bookmarks.empty()) {
            QVERIFY2(!test::shared_fixtures_required(), "shared browser fixtures are missing");
            QSKIP("shared fixture absent: browsers/browser-history or browsers/buku");
        }
        BrowserHome browsers(places, bookmarks);
        MainWindow main(*controller);
        main.start();
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));

        auto import_profile = [&](const QString& profile, bool update) {
            QString failure = QStringLiteral("no dialog");
            on_next_dialog<ImportDialog>([&](ImportDialog* dialog) {
                failure = drive_browser_import(dialog, profile, update);
                if (!failure.isEmpty()) {
                    dialog->reject();
                }
            });
            acknowledge();
            main.action(kCmdImport)->trigger();
            return failure;
        };
        const QString firefox = QStringLiteral("Firefox \u2014 default-release");
        const QString chromium = QStringLiteral("Chromium \u2014 Default");
        QCOMPARE(import_profile(firefox, false), QString());
        QCOMPARE(import_profile(chromium, false), QString());
        QCOMPARE(shown_messages(), (QStringList{QStringLiteral("30 new, 0 already present"),
                                                QStringLiteral("43 new, 0 already present")}));

        auto top = [&main](const QString& title) -> QTreeWidgetItem* {
            const auto found = main.tree()->findItems(title, Qt::MatchExactly | Qt::MatchRecursive);
            return found.size() == 1 ? found.front() : nullptr;
        };
        QTreeWidgetItem* fox = top(firefox);
        QVERIFY(fox != nullptr);
        QCOMPARE(child_texts(fox), (QStringList{"Bookmarks Menu", "Bookmarks Toolbar",
                                                "Mobile Bookmarks", "Other Bookmarks"}));
        QVERIFY(child_texts(fox->child(1)).contains(QStringLiteral("Fedora Project")));
        QTreeWidgetItem* chrome = top(chromium);
        QVERIFY(chrome != nullptr);
        QCOMPARE(child_texts(chrome),
                 (QStringList{"Bookmarks bar", "Mobile bookmarks", "Other bookmarks"}));
        QCOMPARE(data->model->links.links().size(), size_t{73});

        MessageBoxes::reset();
        QCOMPARE(import_profile(firefox, true), QString());
        QCOMPARE(shown_messages(), QStringList{QStringLiteral("0 new, 30 already present")});
        QCOMPARE(data->model->links.links().size(), size_t{73});
        QCOMPARE(main.tree()->findItems(firefox, Qt::MatchStartsWith | Qt::MatchRecursive).size(),
                 1);
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
