#include <QAction>
#include <QActionGroup>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTreeView>
#include <QtTest>

#include "app/app_controller.h"
#include "app/command_table.h"
#include "app/import_area.h"
#include "app/item_drag.h"
#include "app/language.h"
#include "app/link_count.h"
#include "app/link_list_model.h"
#include "app/main_window.h"
#include "app/search_area.h"
#include "app/tray_icon.h"
#include "app_test_support.h"
#include "fake_ui_services.h"

using namespace tb;
using namespace tb::app;

namespace {

// Counts the dialogs that the keys open; every dialog is declined.
class CountingUi : public test::FakeUiServices {
public:
    std::optional<QString> new_folder_text() override {
        ++new_folder_calls;
        return {};
    }
    bool open_url(const QString& url) override {
        opened << url;
        return true;
    }
    bool open_help(const QString&) override {
        ++help_calls;
        return true;
    }

    int new_folder_calls = 0;
    int help_calls = 0;
    QStringList opened;
};

// The main window as the program builds it, shown, over a folder with two links and a journal
// that holds one action.
struct ShownWindow {
    ShownWindow()
        : controller(*data.model, settings, ui), search(controller, ui), importer(controller) {
        news = data.folder("News");
        inner = data.folder("Inner", news);
        first = data.link("First", "https://first.example/", news);
        second = data.link("Second", "https://second.example/", news);
        search.ask_find = [this] {
            ++find_calls;
            return std::optional<SearchQuery>();
        };
        importer.ask_import = [this] {
            ++import_calls;
            return std::optional<ImportRequest>();
        };
        window = std::make_unique<MainWindow>(controller);
        search.attach(*window);
        window->start();
        window->select_folder(news);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    QTreeView* list_view() const {
        for (QTreeView* view : window->findChildren<QTreeView*>()) {
            if (view->model() == window->list_model()) {
                return view;
            }
        }
        return nullptr;
    }

    void select_in_list(RowId link) {
        QTreeView* view = list_view();
        const QModelIndex index =
            window->list_model()->index(window->list_model()->row_of(link), 0);
        view->setFocus();
        view->selectionModel()->select(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    }

    test::TestModel data;
    Settings settings;
    CountingUi ui;
    AppController controller;
    SearchArea search;
    ImportArea importer;
    std::unique_ptr<MainWindow> window;
    RowId news = 0, inner = 0, first = 0, second = 0;
    int find_calls = 0, import_calls = 0;
};  // namespace

QMenu* top_menu(MainWindow& window, int index) {
    return window.menuBar()->actions().at(index)->menu();
}

// Compares one menu of the menu bar with its entries in the table; returns the faults.
QStringList compare_menu(QMenu* menu, const std::vector<MenuEntry>& entries) {
    QStringList faults;
    const QList<QAction*> actions = menu->actions();
    if (actions.size() < static_cast<qsizetype>(entries.size())) {
        return {menu->title() + QStringLiteral(": too few entries")};
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        const MenuEntry& entry = entries[i];
        QAction* action = actions.at(static_cast<qsizetype>(i));
        if (entry.id == 0 && entry.text == nullptr) {
            if (!action->isSeparator()) {
                faults << menu->title() + QStringLiteral(": separator expected");
            }
            continue;
        }
        QString text = action->text();
        const QString key = entry.shortcut != nullptr ? QString::fromLatin1(entry.shortcut) : "";
        // Keys that the panes handle are shown after a tab; the others are real shortcuts.
        if (text.contains(QLatin1Char('\t'))) {
            if (text.section(QLatin1Char('\t'), 1) != key) {
                faults << text + QStringLiteral(": shown key");
            }
            text = text.section(QLatin1Char('\t'), 0, 0);
        } else if (action->shortcut() != QKeySequence(key)) {
            faults << text + QStringLiteral(": key ") + action->shortcut().toString();
        }
        // Undo names the action it undoes.
        if (entry.id != kCmdUndo && text != entry_text(entry)) {
            faults << text + QStringLiteral(" instead of ") + entry_text(entry);
        }
        if (action->menu() != nullptr && entry.dynamic == MenuEntry::kNone) {
            faults << compare_menu(action->menu(), entry.children);
        }
    }
    return faults;
}

QStringList compare_main_menu(MainWindow& window) {
    QStringList faults;
    const auto& menus = main_menu();
    for (size_t i = 0; i < menus.size(); ++i) {
        QMenu* menu = top_menu(window, static_cast<int>(i));
        if (menu->title() != QCoreApplication::translate("Menu", menus[i].title)) {
            faults << menu->title();
        }
        faults << compare_menu(menu, menus[i].entries);
    }
    return faults;
}

// Every placeholder form that the string table uses.
const QRegularExpression kPlaceholder(QStringLiteral("%[1-9sd]"));

QStringList unfilled_placeholders() {
    QStringList faults;
    for (int id : string_table_ids()) {
        const QString raw = test::text_of(id);
        const std::vector<std::string> args(static_cast<size_t>(raw.count(QLatin1Char('%'))),
                                            "arg");
        const QString text = app::message_text(Message::of(id, args));
        if (text.contains(kPlaceholder)) {
            faults << QString::number(id) + QStringLiteral(": ") + text;
        }
    }
    return faults;
}

}  // namespace

// The window as a user drives it: the menu bar's texts and keys, the accelerators sent to the
// shown window, the tray menu, and the enabling of Open With. Russian runs last: a translator
// cannot be taken back out of the application.
class WindowKeysTest : public QObject {
    Q_OBJECT

private slots:
    void init() { MessageBoxes::reset(); }

    void menuBarHasTheTableTextsAndKeys() {
        ShownWindow shown;
        const QStringList faults = compare_main_menu(*shown.window);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
        // The tray menu keeps its own texts for the same commands.
        auto tray = build_tray_menu(shown.controller, {});
        QStringList texts;
        for (QAction* action : tray->actions()) {
            if (!action->isSeparator()) {
                texts << action->text();
            }
        }
        QCOMPARE(texts, (QStringList{"&Open/Hide Tagberry", "&Show Drop Window", "&New Link...",
                                     "&About Tagberry...", "E&xit"}));
        QCOMPARE(shown.window->action(kCmdExit)->shortcut(),
                 QKeySequence(QStringLiteral("Ctrl+Q")));
    }

    void languageEntriesAreOneRadioGroup() {
        ShownWindow shown;
        QAction* english = shown.window->action(kCmdEnglish);
        QAction* russian = shown.window->action(kCmdRussian);
        QVERIFY(english->actionGroup() != nullptr);
        QCOMPARE(english->actionGroup(), russian->actionGroup());
        QVERIFY(english->actionGroup()->isExclusive());
        QVERIFY(english->isChecked());
        QVERIFY(!russian->isChecked());
    }

    void acceleratorsRunTheirCommandsFromTheTreeAndTheList() {
        for (bool in_list : {false, true}) {
            ShownWindow shown;
            QWidget* focus = in_list ? static_cast<QWidget*>(shown.list_view())
                                     : static_cast<QWidget*>(shown.window->tree());
            auto press = [&](const char* key) {
                focus->setFocus();
                shown.window->update_actions();
                const QKeySequence sequence(QString::fromLatin1(key));
                QTest::keyClick(focus, sequence[0].key(), sequence[0].keyboardModifiers());
            };
            press("Ctrl+N");
            QCOMPARE(shown.ui.new_folder_calls, 1);
            press("Ins");
            QCOMPARE(shown.ui.new_link_requests.size(), size_t{1});
            press("Ctrl+I");
            QCOMPARE(shown.import_calls, 1);
            press("Ctrl+F");
            QCOMPARE(shown.find_calls, 1);
            shown.window->select_folder(shown.news);
            press("F1");
            QCOMPARE(shown.ui.help_calls, 1);

            // The Undo pair: each undoes one action.
            shown.data.link("Third", "https://third.example/", shown.news);
            shown.data.link("Fourth", "https://fourth.example/", shown.news);
            press("Ctrl+Z");
            press("Alt+Backspace");
            QCOMPARE(shown.data.model->links.count_url_links("https://third.example/"), 0);
            QCOMPARE(shown.data.model->links.count_url_links("https://fourth.example/"), 0);

            QSignalSpy exit(&shown.controller, &AppController::exit_requested);
            press("Ctrl+Q");
            QCOMPARE(exit.count(), 1);
            QVERIFY(test::shown_messages().isEmpty());
        }
    }

    void deleteAndEnterFollowTheFocus() {
        ShownWindow shown;
        shown.window->tree()->setFocus();
        MessageBoxes::answer_next(QMessageBox::Cancel);
        QTest::keyClick(shown.window->tree(), Qt::Key_Delete);
        QCOMPARE(test::shown_messages(),
                 QStringList{test::text_of(msg::kDeleteFolderQuestion, {"News"})});

        MessageBoxes::reset();
        shown.select_in_list(shown.second);
        MessageBoxes::answer_next(QMessageBox::Ok);
        QTest::keyClick(shown.list_view(), Qt::Key_Delete);
        QCOMPARE(test::shown_messages(),
                 QStringList{test::text_of(msg::kDeleteLinkQuestion, {"Second"})});
        QVERIFY(!shown.data.model->links.find(shown.second).has_value());

        shown.select_in_list(shown.first);
        QTest::keyClick(shown.list_view(), Qt::Key_Return);
        QCOMPARE(shown.ui.opened, QStringList{"https://first.example/"});
        QCOMPARE(shown.data.model->links.find(shown.first)->visits, 1);
    }

    void textFieldsKeepTheirOwnKeys() {
        ShownWindow shown;
        shown.select_in_list(shown.first);
        QLineEdit* edit = shown.window->quick_search_edit();
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("abc"));
        QTest::keyClick(edit, Qt::Key_Home);
        QTest::keyClick(edit, Qt::Key_Delete);
        QCOMPARE(edit->text(), QStringLiteral("bc"));
        QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(edit->text(), QStringLiteral("abc"));
        QVERIFY(test::shown_messages().isEmpty());
        QVERIFY(shown.data.model->links.find(shown.first).has_value());
        QVERIFY(shown.data.model->journal.journal_not_empty());
    }

    // The bar's text is matched without regard to case, in titles and addresses alike.
    void quickSearchTypedInTheBarFindsWhateverTheCase() {
        ShownWindow shown;
        QLineEdit* edit = shown.window->quick_search_edit();
        const auto found_after_typing = [&](const QString& text) {
            edit->setFocus();
            edit->clear();
            QTest::keyClicks(edit, text);
            QTest::keyClick(edit, Qt::Key_Return);
            QList<RowId> ids;
            for (int row = 0; row < shown.window->list_model()->rowCount(); ++row) {
                ids << shown.window->list_model()->record(row).id;
            }
            return ids;
        };
        // Only the title holds this word, in other letter cases.
        const RowId digest = shown.data.link("Weekly DIGEST", "https://news.example/7", shown.news);
        QCOMPARE(found_after_typing(QStringLiteral("wEEKLY")), QList<RowId>{digest});
        QCOMPARE(found_after_typing(QStringLiteral("Digest")), QList<RowId>{digest});
        QCOMPARE(found_after_typing(QStringLiteral("sEcOnD")), QList<RowId>{shown.second});
        QCOMPARE(found_after_typing(QStringLiteral("FIRST.EX")), QList<RowId>{shown.first});
        QCOMPARE(found_after_typing(QStringLiteral("EXAMPLE")),
                 (QList<RowId>{shown.first, shown.second, digest}));
        QVERIFY(found_after_typing(QStringLiteral("third")).isEmpty());
        QVERIFY(test::shown_messages().isEmpty());
    }

    // The Search Results rows read their flags as they show: the two links that share an
    // address, in different folders, show the duplicate colour, and the third does not.
    void searchResultsShowTheDuplicateColour() {
        ShownWindow shown;
        const RowId copy = shown.data.link("Copy", "https://first.example/", shown.inner);
        QLineEdit* edit = shown.window->quick_search_edit();
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("example"));
        QTest::keyClick(edit, Qt::Key_Return);
        LinkListModel* list = shown.window->list_model();
        QCOMPARE(list->rowCount(), 3);
        auto colour = [list](RowId link) {
            return list->data(list->index(list->row_of(link), 0), Qt::ForegroundRole)
                .value<QColor>();
        };
        const QColor duplicated(75, 0, 0);
        QCOMPARE(colour(shown.first), duplicated);
        QCOMPARE(colour(copy), duplicated);
        QVERIFY(colour(shown.second) != duplicated);
    }

    void openWithFollowsTheSelection() {
        ShownWindow shown;
        shown.settings.applications = {{0, "Viewer", "/usr/bin/viewer"}};
        shown.window->rebuild_open_with_menu();
        QMenu* link_menu = top_menu(*shown.window, 5);
        QMenu* open_with = link_menu->actions().at(1)->menu();
        QVERIFY(open_with != nullptr);
        QAction* viewer = open_with->actions().front();
        QCOMPARE(viewer->text(), QStringLiteral("Viewer"));
        QVERIFY(!viewer->isEnabled());
        shown.select_in_list(shown.first);
        QVERIFY(viewer->isEnabled());
        shown.list_view()->selectionModel()->clearSelection();
        QVERIFY(!viewer->isEnabled());
    }

    void sortIndicatorShowsColumnAndDirection() {
        ShownWindow shown;
        QHeaderView* header = shown.list_view()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
        QVERIFY(header->isSortIndicatorShown());
        QCOMPARE(header->sortIndicatorSection(), 1);
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
        QCOMPARE(shown.window->list_model()->record(0).title, std::string("Second"));
    }

    void dragAndDropMovesWithOneUndo() {
        ShownWindow shown;
        FolderTree* tree = shown.window->tree();
        auto drag = [tree](QMimeData* data, int target) {
            const QPoint at = tree->visualItemRect(tree->item_for(target)).center();
            QDragEnterEvent enter(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(tree->viewport(), &enter);
            QDragMoveEvent move(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(tree->viewport(), &move);
            if (move.isAccepted()) {
                QDropEvent drop(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(tree->viewport(), &drop);
            }
            delete data;
            return move.isAccepted();
        };
        auto parent_of = [&shown](int link) { return shown.data.model->links.find(link)->parent; };
        // The list's own drag data, as a drag of the two selected rows carries it.
        QTreeView* list = shown.list_view();
        list->selectAll();
        QMimeData* links =
            shown.window->list_model()->mimeData(list->selectionModel()->selectedRows());
        QVERIFY(drag(links, shown.inner));
        QCOMPARE(parent_of(shown.first), shown.inner);
        QCOMPARE(parent_of(shown.second), shown.inner);
        QCOMPARE(shown.window->list_model()->rowCount(), 0);
        // No links into the root.
        QVERIFY(!drag(links_mime_data({shown.first}), kRootFolder));
        QCOMPARE(parent_of(shown.first), shown.inner);
        shown.window->update_actions();
        QTest::keyClick(tree, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(parent_of(shown.first), shown.news);
        QCOMPARE(parent_of(shown.second), shown.news);

        // Folders: never into themselves or below themselves, never the root.
        QVERIFY(!drag(folder_mime_data(shown.news), shown.news));
        QVERIFY(!drag(folder_mime_data(shown.news), shown.inner));
        QVERIFY(!drag(folder_mime_data(kRootFolder), shown.news));
        const int other = shown.data.folder("Other");
        shown.controller.refill_tree(true);
        QVERIFY(drag(folder_mime_data(shown.inner), other));
        QCOMPARE(shown.data.model->folders.find(shown.inner)->parent, other);
        QVERIFY(tree->item_for(shown.inner) != nullptr);
        QCOMPARE(tree->item_for(shown.inner)->parent(), tree->item_for(other));
        shown.window->update_actions();
        QTest::keyClick(tree, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(shown.data.model->folders.find(shown.inner)->parent, shown.news);

        // The root stays where it is; other folders can be dragged.
        QVERIFY(tree->mimeData({tree->item_for(kRootFolder)}) == nullptr);
        std::unique_ptr<QMimeData> dragged(tree->mimeData({tree->item_for(other)}));
        QCOMPARE(dragged_folder(*dragged), std::optional<RowId>(other));
    }

    // The shown list follows each edit, move and undo at once, duplicate flags included, and a
    // write by another process once the window reloads.
    void shownListFollowsEditsMovesAndOtherWriters() {
        ShownWindow shown;
        LinkListModel* list = shown.window->list_model();
        auto flagged = [list](int link) {
            const int row = list->row_of(link);
            return row >= 0 && list->record(row).has_duplicates;
        };
        // Each edit is acknowledged with "Link updated".
        test::acknowledge(2);
        shown.select_in_list(shown.second);
        QVERIFY(shown.controller.update_link_from_bar("Second", "https://first.example/", ""));
        QVERIFY(flagged(shown.first));
        QVERIFY(flagged(shown.second));
        shown.select_in_list(shown.second);
        QVERIFY(shown.controller.update_link_from_bar("Second", "https://second.example/", ""));
        QVERIFY(!flagged(shown.first));
        QVERIFY(!flagged(shown.second));

        shown.controller.drop_links({shown.first}, shown.inner);
        QCOMPARE(list->rowCount(), 1);
        QCOMPARE(list->row_of(shown.first), -1);
        shown.window->update_actions();
        QTest::keyClick(shown.window->tree(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(list->rowCount(), 2);
        QCOMPARE(list->row_of(shown.first), 0);
        QVERIFY(!flagged(shown.first));
        // An updated row takes its place in the order the user chose: addresses, descending.
        list->sort_by_header(1);
        QCOMPARE(list->row_of(shown.second), 0);
        test::acknowledge();
        shown.select_in_list(shown.second);
        QVERIFY(shown.controller.update_link_from_bar("Second", "https://a.example/", ""));
        QCOMPARE(list->row_of(shown.first), 0);
        QCOMPARE(list->row_of(shown.second), 1);

        // Another connection to the same file, as the command-line tool has.
        RecordingReporter other_reporter;
        Database other(other_reporter);
        QCOMPARE(other.open_database(shown.data.dir.path()), OpenStatus::Ok);
        QVERIFY(other.easy_query("INSERT INTO tb_links (title, url, parent) VALUES (?, ?, ?)",
                                 {"Third", "https://first.example/", shown.news}));
        const std::int64_t other_id = other.last_insert_rowid();
        other.close_database();
        shown.window->reload_keeping_selection();
        QCOMPARE(list->rowCount(), 3);
        QVERIFY(!flagged(shown.second));
        QVERIFY(flagged(shown.first));
        QVERIFY(flagged(other_id));
    }

    // A folder and a link whose ids lie past the int range, as another program may have written
    // them, are shown, selected, dragged, undone and deleted by key like any other.
    void idsPastTheIntRangeWorkInTheWindow() {
        ShownWindow shown;
        const RowId far = 2147483648;
        const RowId link = 3000000000;
        QVERIFY(shown.data.db.easy_query(
            "INSERT INTO tb_folders (id, title, parent) VALUES (?, 'Far', 1)", {far}));
        QVERIFY(shown.data.db.easy_query(
            "INSERT INTO tb_links (id, title, url, parent) VALUES (?, 'Beyond', ?, ?)",
            {link, "https://beyond.example/", far}));
        shown.data.model->folders.reload();
        shown.window->reload_keeping_selection();
        FolderTree* tree = shown.window->tree();
        QVERIFY(tree->item_for(far) != nullptr);
        tree->setCurrentItem(tree->item_for(far));
        QCOMPARE(shown.controller.state().current_folder, far);
        QCOMPARE(shown.window->list_model()->row_of(link), 0);

        shown.select_in_list(link);
        QCOMPARE(shown.controller.state().selected_links, std::vector<RowId>{link});
        QTreeView* view = shown.list_view();
        std::unique_ptr<QMimeData> dragged(
            view->model()->mimeData(view->selectionModel()->selectedRows()));
        QCOMPARE(dragged_links(*dragged), std::vector<RowId>{link});
        shown.controller.drop_links(dragged_links(*dragged), shown.news);
        QCOMPARE(shown.data.model->links.find(link)->parent, shown.news);
        shown.window->update_actions();
        QTest::keyClick(tree, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(shown.data.model->links.find(link)->parent, far);

        shown.select_in_list(link);
        MessageBoxes::answer_next(QMessageBox::Ok);
        QTest::keyClick(view, Qt::Key_Delete);
        QVERIFY(!shown.data.model->links.find(link).has_value());
    }

    void noPlaceholderReachesTheScreenInEnglish() {
        const QStringList faults = unfilled_placeholders();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
        QCOMPARE(test::text_of(200, {"News"}), QStringLiteral("Open Containing Folder:\tNews"));
    }

    void russianMenusCountsAndPlaceholders() {
        QVERIFY(load_russian({QFileInfo(QStringLiteral(TB_RUSSIAN_LIBRARY)).absolutePath()}));
        ShownWindow shown;
        const QStringList faults = compare_main_menu(*shown.window);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
        QCOMPARE(top_menu(*shown.window, 0)->actions().back()->text(), QStringLiteral("В&ыход"));

        const QStringList unfilled = unfilled_placeholders();
        QVERIFY2(unfilled.isEmpty(), qPrintable(unfilled.join(QLatin1Char('\n'))));
        QVERIFY(!test::text_of(200, {"News"}).contains(QLatin1Char('%')));

        const QString many = QLocale(QLocale::Russian).toString(12830);
        QCOMPARE(link_count_text(1), QStringLiteral("1 ссылка"));
        QCOMPARE(link_count_text(3), QStringLiteral("3 ссылки"));
        QCOMPARE(link_count_text(11), QStringLiteral("11 ссылок"));
        QCOMPARE(link_count_text(22), QStringLiteral("22 ссылки"));
        QCOMPARE(link_count_text(12830), many + QStringLiteral(" ссылок"));
        QVERIFY(many.size() == 6);
    }
};

QTEST_MAIN(WindowKeysTest)
#include "window_keys_test.moc"
