#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "app/app_controller.h"
#include "app/main_window.h"
#include "app/restore_backup_dialog.h"
#include "app_test_support.h"
#include "fake_ui_services.h"
#include "storage/backup.h"

using namespace tb;
using namespace tb::app;

// Data > Restore from Backup... on the shown main window, and the dialog that lists the
// snapshots.
class RestoreBackupTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        MessageBoxes::reset();
        ui.backups_shown.clear();
        ui.backup_choice.reset();
        data = std::make_unique<test::TestModel>();
        kept = data->folder("Kept");
        data->link("a", "https://a.example/", kept);
        controller = std::make_unique<AppController>(*data->model, settings, ui);
        window = std::make_unique<MainWindow>(*controller);
        controller->set_dialog_parent(window.get());
        window->start();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void cleanup() {
        window.reset();
        controller.reset();
        data.reset();
    }

    void menuEntryRestoresTheChosenSnapshotAndTheWindowReloads() {
        Backups backups(data->db);
        QVERIFY(backups.create(current_time_ms() - 60'000));
        const int later = data->folder("Later");
        controller->refill_tree(true);
        QVERIFY(window->tree()->item_for(later) != nullptr);

        ui.backup_choice = 0;
        QAction* entry = data_menu_entry();
        QVERIFY(entry != nullptr);
        QVERIFY(entry->isEnabled());
        QTest::keyClick(window.get(), Qt::Key_D, Qt::AltModifier);
        QMenu* menu = data_menu();
        QTRY_VERIFY(menu->isVisible());
        QTest::keyClick(menu, Qt::Key_B);

        QTRY_COMPARE(ui.backups_shown.size(), std::size_t{1});
        QCOMPARE(ui.backups_shown[0].folders, std::int64_t{2});
        QCOMPARE(ui.backups_shown[0].links, std::int64_t{1});
        QVERIFY(window->tree()->item_for(later) == nullptr);
        QVERIFY(window->tree()->item_for(kept) != nullptr);
        QVERIFY(data->model->folders.find(later) == nullptr);
        QVERIFY(data->reporter.messages.empty());
        QCOMPARE(backups.list().size(), std::size_t{2});
        // The state before the restore, Later included.
        QCOMPARE(backups.list().front().folders, std::int64_t{3});
    }

    void withoutSnapshotsTheEntrySaysSoAndDeclinedDialogChangesNothing() {
        MessageBoxes::answer_next(QMessageBox::Ok);
        data_menu_entry()->trigger();
        QCOMPARE(test::shown_messages(), QStringList{QStringLiteral("There are no backups yet.")});
        QVERIFY(ui.backups_shown.empty());

        Backups backups(data->db);
        QVERIFY(backups.create());
        const int later = data->folder("Later");
        data_menu_entry()->trigger();
        QCOMPARE(ui.backups_shown.size(), std::size_t{1});
        QVERIFY(data->model->folders.find(later) != nullptr);
        QCOMPARE(backups.list().size(), std::size_t{1});
    }

    void dialogListsTheSnapshotsAndReturnsTheChosenOne() {
        const std::vector<Snapshot> snapshots = {
            {.path = "/b/newer.db", .time_ms = 1'800'000'000'000, .folders = 12, .links = 340},
            {.path = "/b/older.db", .time_ms = 1'700'000'000'000, .folders = -1, .links = -1},
        };
        RestoreBackupDialog dialog(snapshots);
        QCOMPARE(dialog.list()->topLevelItemCount(), 2);
        QCOMPARE(dialog.list()->topLevelItem(0)->text(1), QStringLiteral("12"));
        QCOMPARE(dialog.list()->topLevelItem(0)->text(2), QStringLiteral("340"));
        QCOMPARE(dialog.list()->topLevelItem(1)->text(2), QStringLiteral("?"));
        QCOMPARE(dialog.chosen().value(), std::filesystem::path("/b/newer.db"));
        dialog.list()->setCurrentItem(dialog.list()->topLevelItem(1));
        QCOMPARE(dialog.chosen().value(), std::filesystem::path("/b/older.db"));
        QVERIFY(dialog.restore_button()->isEnabled());
        RestoreBackupDialog empty({});
        QVERIFY(!empty.restore_button()->isEnabled());
        QVERIFY(!empty.chosen());
    }

private:
    QMenu* data_menu() const {
        for (QAction* top : window->menuBar()->actions()) {
            if (top->text() == QStringLiteral("&Data")) {
                return top->menu();
            }
        }
        return nullptr;
    }
    QAction* data_menu_entry() const {
        QMenu* menu = data_menu();
        for (QAction* action : menu != nullptr ? menu->actions() : QList<QAction*>()) {
            if (action->text() == QStringLiteral("Restore from &Backup...")) {
                return action;
            }
        }
        return nullptr;
    }

    std::unique_ptr<test::TestModel> data;
    Settings settings;
    test::FakeUiServices ui;
    std::unique_ptr<AppController> controller;
    std::unique_ptr<MainWindow> window;
    int kept = 0;
};

QTEST_MAIN(RestoreBackupTest)
#include "restore_backup_test.moc"
