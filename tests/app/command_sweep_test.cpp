#include <QtTest>
#include <set>

#include "app/app_controller.h"
#include "app/command_table.h"
#include "app/main_window.h"
#include "app/search_area.h"
#include "app_test_support.h"
#include "fake_ui_services.h"

using namespace tb;
using namespace tb::app;

// Every command of the menus, the toolbar and the tray, run in every kind of selection with
// every dialog declined: none may crash, change a hidden folder or leave the window inconsistent.
class CommandSweepTest : public QObject {
    Q_OBJECT

private slots:
    void everyCommandInEveryState() {
        test::TestModel data;
        const int news = data.folder("News");
        const int inner = data.folder("Inner", news);
        const int a = data.link("a", "https://a.example/", news);
        const int b = data.link("b", "https://a.example/", inner);
        data.model->statistics.update_visits_counter(a, 0, 1000);
        Settings settings;
        test::FakeUiServices ui;
        AppController controller(*data.model, settings, ui);
        SearchArea search(controller, ui);
        search.ask_find = [] { return std::optional<SearchQuery>(); };
        MainWindow window(controller);
        search.attach(window);
        window.start();

        const std::set<int> commands = all_commands();
        QVERIFY(commands.size() > 45);
        struct State {
            int folder;
            std::vector<RowId> links;
        };
        const State states[] = {{kRootFolder, {}},
                                {news, {}},
                                {news, {a}},
                                {inner, {b}},
                                {kSearchResultsFolder, {}},
                                {kMostVisitedFolder, {a}},
                                {kRecentlyVisitedFolder, {}},
                                {news, {a, b}}};
        for (const State& state : states) {
            for (int command : commands) {
                // Exit closes the window; Undo changes data without asking and has its own tests.
                if (command == kCmdExit || command == kCmdUndo) {
                    continue;
                }
                window.select_folder(state.folder);
                controller.links_selected(state.links);
                for (int i = 0; i < 20; ++i) {
                    MessageBoxes::answer_next(QMessageBox::Cancel);
                }
                controller.execute(command);
                window.update_actions();
                MessageBoxes::reset();
                // Declined dialogs and answered questions leave the data as it was.
                QVERIFY2(data.model->folders.find(news) != nullptr,
                         qPrintable(QString::number(command)));
                QVERIFY2(data.model->links.find(a).has_value(),
                         qPrintable(QString::number(command)));
            }
        }
    }

private:
    static std::set<int> all_commands() {
        std::set<int> ids;
        for_each_menu_entry([&ids](const MenuEntry& entry) {
            if (entry.id != 0) {
                ids.insert(entry.id);
            }
        });
        for (int id : toolbar_commands()) {
            if (id != 0) {
                ids.insert(id);
            }
        }
        ids.insert(kCmdArrangeIcons);
        ids.insert(kCmdOpenWithFirst);
        return ids;
    }
};

QTEST_MAIN(CommandSweepTest)
#include "command_sweep_test.moc"
