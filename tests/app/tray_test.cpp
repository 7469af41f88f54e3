#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QtTest>

#include "app/app_controller.h"
#include "app/commands.h"
#include "app/tray_icon.h"
#include "app_test_support.h"
#include "fake_ui_services.h"

using namespace tb;
using namespace tb::app;
using TrayStep = TrayLogic::Step;

namespace {

// A controller over a fresh database, and a shown main window with a tray icon that runs
// command 32844 as the program does.
struct TrayFixture {
    explicit TrayFixture(bool tray_available)
        : controller(*data.model, settings, ui), tray(window, controller, tray_available) {
        QObject::connect(&controller, &AppController::open_hide_requested, &tray,
                         &TrayIcon::open_hide);
        window.resize(300, 200);
        window.show();
    }

    test::TestModel data;
    Settings settings;
    test::FakeUiServices ui;
    AppController controller;
    QMainWindow window;
    TrayIcon tray;
};

QAction* menu_action(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

}  // namespace

class TrayTest : public QObject {
    Q_OBJECT

private slots:
    void logicWithTray() {
        TrayLogic logic(true);
        QCOMPARE(logic.open_hide(), TrayStep::kHideToTray);
        QVERIFY(logic.hidden_in_tray());
        QCOMPARE(logic.open_hide(), TrayStep::kBringBack);
        QVERIFY(!logic.hidden_in_tray());

        QCOMPARE(logic.minimised(false), TrayStep::kNone);
        QVERIFY(!logic.hidden_in_tray());
        QCOMPARE(logic.minimised(true), TrayStep::kHideToTray);
        QVERIFY(logic.hidden_in_tray());
        // A second copy brings the hidden window back once.
        QCOMPARE(logic.activate(), TrayStep::kBringBack);
        QCOMPARE(logic.activate(), TrayStep::kShowAndRaise);
        QVERIFY(!logic.hidden_in_tray());
    }

    void logicWithoutTrayNeverHides() {
        TrayLogic logic(false);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(logic.open_hide(), TrayStep::kShowAndRaise);
            QCOMPARE(logic.minimised(true), TrayStep::kNone);
            QCOMPARE(logic.activate(), TrayStep::kShowAndRaise);
            QVERIFY(!logic.hidden_in_tray());
        }
    }

    void openHideTogglesTheWindowWithTray() {
        TrayFixture f(true);
        QVERIFY(f.window.isVisible());
        f.controller.execute(kCmdOpenHide);
        QVERIFY(!f.window.isVisible());
        QVERIFY(f.tray.logic().hidden_in_tray());
        f.controller.execute(kCmdOpenHide);
        QVERIFY(f.window.isVisible());
        QVERIFY(!f.window.isMinimized());
        QVERIFY(!f.tray.logic().hidden_in_tray());
    }

    void minimiseToTrayFollowsTheSetting() {
        TrayFixture f(true);
        f.window.showMinimized();
        QCoreApplication::processEvents();
        QVERIFY(f.window.isVisible());
        QVERIFY(!f.tray.logic().hidden_in_tray());

        f.window.showNormal();
        f.controller.execute(kCmdMinimiseToTray);
        QVERIFY(f.settings.minimise_to_tray);
        f.window.showMinimized();
        QTRY_VERIFY(!f.window.isVisible());
        QVERIFY(f.tray.logic().hidden_in_tray());

        f.tray.activate();
        QVERIFY(f.window.isVisible());
        QVERIFY(!f.window.isMinimized());
        QVERIFY(!f.tray.logic().hidden_in_tray());
    }

    void withoutTrayTheWindowIsNeverHidden() {
        TrayFixture f(false);
        f.settings.minimise_to_tray = true;
        f.window.showMinimized();
        QCoreApplication::processEvents();
        QVERIFY(f.window.isVisible());
        QVERIFY(f.window.isMinimized());
        QVERIFY(!f.tray.logic().hidden_in_tray());

        // Open/Hide shows the minimised window instead of hiding it.
        f.controller.execute(kCmdOpenHide);
        QVERIFY(f.window.isVisible());
        QVERIFY(!f.window.isMinimized());
        f.controller.execute(kCmdOpenHide);
        QVERIFY(f.window.isVisible());
    }

    void menuRunsCommandsThroughTheController() {
        TrayFixture f(false);
        QMenu* menu = f.tray.menu();
        const QList<QAction*> actions = menu->actions();
        QCOMPARE(actions.size(), 7);
        QVERIFY(actions[2]->isSeparator());
        QVERIFY(actions[5]->isSeparator());
        QCOMPARE(menu->defaultAction(), actions[0]);

        QAction* drop = menu_action(menu, QStringLiteral("&Show Drop Window"));
        QVERIFY(drop != nullptr);
        QSignalSpy toggled(&f.controller, &AppController::drop_window_toggled);
        emit menu->aboutToShow();
        QVERIFY(!drop->isChecked());
        drop->trigger();
        QCOMPARE(toggled.size(), 1);
        QVERIFY(f.settings.show_drop_window);
        emit menu->aboutToShow();
        QVERIFY(drop->isChecked());

        menu_action(menu, QStringLiteral("&About Tagberry..."))->trigger();
        QCOMPARE(f.ui.about_calls, 1);
        QSignalSpy exit(&f.controller, &AppController::exit_requested);
        menu_action(menu, QStringLiteral("E&xit"))->trigger();
        QCOMPARE(exit.size(), 1);
    }
};

QTEST_MAIN(TrayTest)
#include "tray_test.moc"
