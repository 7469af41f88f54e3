#include <QSignalSpy>
#include <QtTest>

#include "app/app_controller.h"
#include "app_test_support.h"
#include "fake_ui_services.h"
#include "platform/messages.h"

using namespace tb;
using namespace tb::app;
using namespace tb::test;

namespace {

// Canned dialog answers; every call is recorded.
class FakeUi : public test::FakeUiServices {
public:
    std::optional<QString> new_folder_text() override { return folder_text; }
    std::optional<std::pair<QString, bool>> folder_properties(const QString& title,
                                                              bool is_protected) override {
        shown_properties = {title, is_protected};
        if (during_dialog) {
            during_dialog();
        }
        return properties;
    }
    MoveResult move_items(const MoveRequest& request) override {
        move_request = request;
        return move_result;
    }
    NewLinkDialogResult new_link(const NewLinkDialogRequest& request) override {
        link_request = request;
        NewLinkDialogResult result;
        if (new_link_answer) {
            NewLinkRequest r = *new_link_answer;
            if (request.check(r) == 0) {
                result.accepted = r;
            }
        }
        return result;
    }
    std::optional<LinkTexts> edit_link(const Link&) override {
        if (during_dialog) {
            during_dialog();
        }
        return edited;
    }
    std::vector<RowId> duplicates(const DuplicatesRequest& request) override {
        duplicates_request = request;
        return doomed;
    }
    bool most_visited_preferences(Settings& settings) override {
        if (prefs)
            prefs(settings);
        return static_cast<bool>(prefs);
    }
    bool edit_application_list(std::vector<Application>& list) override {
        list.push_back({static_cast<int>(list.size()), "Added", "/usr/bin/added"});
        return true;
    }
    bool open_url(const QString& url) override {
        opened << url;
        return launches;
    }
    bool start_program(const QString& program, const QString& url) override {
        opened << program + QLatin1Char(' ') + url;
        return launches;
    }
    void set_clipboard(const QString& text) override { clipboard = text; }
    bool open_help(const QString& language) override {
        opened << QStringLiteral("help:") + language;
        return false;
    }

    std::optional<QString> folder_text;
    std::optional<std::pair<QString, bool>> properties;
    std::pair<QString, bool> shown_properties;
    MoveRequest move_request;
    MoveResult move_result;
    NewLinkDialogRequest link_request;
    std::optional<NewLinkRequest> new_link_answer;
    std::optional<LinkTexts> edited;
    DuplicatesRequest duplicates_request;
    std::vector<RowId> doomed;
    std::function<void(Settings&)> prefs;
    // What another program does while a modal dialog is open.
    std::function<void()> during_dialog;
    QStringList opened;
    bool launches = true;
    QString clipboard;
};

constexpr std::int64_t kNow = 1'700'000'000;

// The commands whose enabled state depends on the selection.
const int kFolderCommands[] = {kCmdDeleteFolder, kCmdMoveFolder, kCmdFolderProperties,
                               kCmdResetFolderUsage, kCmdNewLink};
const int kLinkCommands[] = {kCmdDeleteLinks, kCmdMoveLinks,   kCmdLinkProperties,
                             kCmdOpenLink,    kCmdCopyAddress, kCmdOpenWithFirst};

}  // namespace

class AppControllerTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TestModel> data;
    std::unique_ptr<Settings> settings;
    std::unique_ptr<FakeUi> ui;
    std::unique_ptr<AppController> controller;
    int a = 0, b = 0;

    bool enabled(int command) { return controller->status(command).enabled; }
    void select_folder(int id, bool feed = false) { controller->folder_selected(id, feed); }

private slots:
    void init() {
        MessageBoxes::reset();
        data = std::make_unique<test::TestModel>();
        settings = std::make_unique<Settings>();
        ui = std::make_unique<FakeUi>();
        controller = std::make_unique<AppController>(*data->model, *settings, *ui);
        controller->set_clock([] { return kNow; });
        a = data->folder("A");
        b = data->folder("B", a);
        QVERIFY(data->model->journal.purge());
    }

    void folderCommandsFollowTheSelection() {
        select_folder(kRootFolder);
        QVERIFY(enabled(kCmdNewFolder));
        for (int command : kFolderCommands)
            QVERIFY2(!enabled(command), qPrintable(QString::number(command)));
        QVERIFY(!enabled(kCmdOpenContainingFolder));

        select_folder(b);
        QVERIFY(enabled(kCmdNewFolder));
        for (int command : kFolderCommands)
            QVERIFY(enabled(command));

        for (int special :
             {kSearchResultsFolder, kMostVisitedFolder, kRecentlyVisitedFolder, kNewsfeedsFolder}) {
            select_folder(special);
            QVERIFY(!enabled(kCmdNewFolder));
            for (int command : kFolderCommands)
                QVERIFY(!enabled(command));
            QCOMPARE(enabled(kCmdOpenContainingFolder), special != kNewsfeedsFolder);
        }
        select_folder(3, true);  // a feed
        QVERIFY(!enabled(kCmdNewFolder));
        for (int command : kFolderCommands)
            QVERIFY(!enabled(command));
        QVERIFY(!enabled(kCmdOpenContainingFolder));
    }

    void linkCommandsFollowTheLinkSelection() {
        const int one = data->link("One", "http://one.example", b);
        const int two = data->link("Two", "http://one.example", a);
        const int three = data->link("Three", "http://three.example", b);
        select_folder(b);
        for (int command : kLinkCommands)
            QVERIFY(!enabled(command));
        controller->links_selected({three});
        for (int command : kLinkCommands)
            QVERIFY(enabled(command));
        QVERIFY(!enabled(kCmdShowDuplicates));
        QVERIFY(!enabled(kCmdResetLinkUsage));  // never visited
        controller->links_selected({one, three});
        for (int command : kLinkCommands)
            QVERIFY(enabled(command));
        QVERIFY(enabled(kCmdShowDuplicates));  // the current link is the first one
        controller->execute(kCmdOpenLink);
        QCOMPARE(ui->opened, QStringList{"http://one.example"});
        QVERIFY(enabled(kCmdResetLinkUsage));
        QVERIFY(!controller->selected_link().has_value());  // two selected
        controller->links_selected({two});
        QCOMPARE(controller->selected_link()->id, two);

        select_folder(3, true);
        controller->links_selected({1});
        for (int command : kLinkCommands)
            QVERIFY(!enabled(command));
    }

    void undoFollowsTheJournal() {
        QVERIFY(!enabled(kCmdUndo));
        QVERIFY(!enabled(kCmdClearUndo));
        QCOMPARE(controller->status(kCmdUndo).text, QStringLiteral("Undo\tCtrl+Z"));

        select_folder(a);
        ui->folder_text = QStringLiteral("C");
        controller->execute(kCmdNewFolder);
        QVERIFY(enabled(kCmdUndo));
        QVERIFY(enabled(kCmdClearUndo));
        QCOMPARE(controller->status(kCmdUndo).text, QStringLiteral("Undo Add Folder\tCtrl+Z"));

        const int link = data->link("L", "http://l.example", b);
        select_folder(b);
        controller->links_selected({link});
        MessageBoxes::answer_next(QMessageBox::Ok);
        controller->execute(kCmdDeleteLinks);
        QCOMPARE(controller->status(kCmdUndo).text, QStringLiteral("Undo Delete Link\tCtrl+Z"));
        QVERIFY(!data->model->links.find(link).has_value());

        // The shown folder's list updates the row of the link the undo brought back.
        QSignalSpy touched(controller.get(), &AppController::links_touched);
        controller->execute(kCmdUndo);
        QVERIFY(data->model->links.find(link).has_value());
        QCOMPARE(touched.count(), 1);
        QCOMPARE(touched.front().front().value<std::vector<RowId>>(), std::vector<RowId>{link});

        MessageBoxes::answer_next(QMessageBox::No);
        controller->execute(kCmdClearUndo);
        QVERIFY(enabled(kCmdUndo));
        MessageBoxes::answer_next(QMessageBox::Yes);
        controller->execute(kCmdClearUndo);
        QVERIFY(!enabled(kCmdUndo));
        QCOMPARE(shown_messages().back(), text_of(msg::kClearUndoQuestion));
    }

    // Questions reach the user through the UI services, never through a message box of its own.
    void questionsGoThroughTheUiServices() {
        class AnsweringUi : public test::FakeUiServices {
        public:
            std::vector<std::pair<QString, QMessageBox::Icon>> shown;
            QMessageBox::StandardButton answer = QMessageBox::No;
            std::optional<QString> new_folder_text() override { return QStringLiteral("C"); }
            QMessageBox::StandardButton message_box(const QString& text, QMessageBox::Icon icon,
                                                    QMessageBox::StandardButtons) override {
                shown.emplace_back(text, icon);
                return answer;
            }
        } answering;
        AppController own(*data->model, *settings, answering);
        own.folder_selected(kRootFolder, false);
        own.execute(kCmdNewFolder);
        own.execute(kCmdClearUndo);
        QVERIFY(own.status(kCmdUndo).enabled);
        answering.answer = QMessageBox::Yes;
        own.execute(kCmdClearUndo);
        QVERIFY(!own.status(kCmdUndo).enabled);
        QCOMPARE(answering.shown.size(), std::size_t{2});
        QCOMPARE(answering.shown.back().first, text_of(msg::kClearUndoQuestion));
        QCOMPARE(answering.shown.back().second, QMessageBox::Question);
        QVERIFY(MessageBoxes::shown().empty());
    }

    void deleteFolderAsksAndSelectsTheParent() {
        select_folder(b);
        QSignalSpy tree_refills(controller.get(), &AppController::tree_refill_requested);
        QSignalSpy captions(controller.get(), &AppController::caption_changed);
        MessageBoxes::answer_next(QMessageBox::Cancel);
        controller->execute(kCmdDeleteFolder);
        QVERIFY(data->model->folders.find(b) != nullptr);
        QCOMPARE(tree_refills.count(), 0);

        MessageBoxes::answer_next(QMessageBox::Ok);
        controller->execute(kCmdDeleteFolder);
        QVERIFY(data->model->folders.find(b) == nullptr);
        QCOMPARE(controller->state().current_folder, a);
        QCOMPARE(tree_refills.count(), 1);
        QCOMPARE(captions.count(), 1);
        QCOMPARE(captions.front().front().toString(), QStringLiteral("Tagberry 2.0 - /A"));
        QCOMPARE(shown_messages(), QStringList(2, QStringLiteral("Delete folder 'B'?")));
    }

    void dialogsFindTheirItemAgainAfterAReload() {
        const int one = data->link("One", "http://one.example", b);
        const int two = data->link("Two", "http://two.example", b);
        select_folder(b);
        // A reload while the dialog is open rebuilds the link array around the edited link.
        controller->links_selected({two});
        ui->edited = LinkTexts{"Edited", "http://edited.example", ""};
        ui->during_dialog = [&] { data->model->links.delete_links({one}); };
        acknowledge();
        controller->execute(kCmdLinkProperties);
        QCOMPARE(data->model->links.find(two)->title, std::string("Edited"));
        QCOMPARE(shown_messages(), QStringList{text_of(msg::kLinkUpdated)});

        // The link itself is gone: nothing changes, and the user is told.
        MessageBoxes::reset();
        ui->during_dialog = [&] { data->model->links.delete_links({two}); };
        acknowledge();
        controller->execute(kCmdLinkProperties);
        QCOMPARE(shown_messages(), QStringList{"This link no longer exists."});
        QCOMPARE(data->model->links.count_url_links("http://edited.example"), 0);

        MessageBoxes::reset();
        const int c = data->folder("C", a);
        select_folder(c);
        ui->properties = std::make_pair(QStringLiteral("Renamed"), false);
        ui->during_dialog = [&] {
            data->model->folders.delete_folder(c);
            data->model->folders.reload();
        };
        acknowledge();
        controller->execute(kCmdFolderProperties);
        QCOMPARE(shown_messages(), QStringList{"This folder no longer exists."});
        QVERIFY(data->model->folders.find(a)->title == "A");
        QVERIFY(data->model->folders.find(b)->title == "B");
    }

    void deleteLinksAsksWithTitleOrCount() {
        const int x = data->link("X", "http://x.example", b);
        const int y = data->link("Y", "http://y.example", b);
        const int z = data->link("Z", "http://z.example", b);
        select_folder(b);
        controller->links_selected({x});
        MessageBoxes::answer_next(QMessageBox::Cancel);
        controller->execute(kCmdDeleteLinks);
        controller->links_selected({x, y, z});
        MessageBoxes::answer_next(QMessageBox::Cancel);
        controller->execute(kCmdDeleteLinks);
        QCOMPARE(shown_messages(), (QStringList{"Delete link 'X'?", "Delete these 3 links?"}));
        QCOMPARE(data->model->links.links_in(b).size(), size_t(3));

        int reruns = 0;
        controller->rerun_search = [&] { ++reruns; };
        controller->search_results = [&] { return data->model->links.links_in(b); };
        select_folder(kSearchResultsFolder);
        controller->links_selected({x, z});
        MessageBoxes::answer_next(QMessageBox::Ok);
        controller->execute(kCmdDeleteLinks);
        QCOMPARE(reruns, 1);
        QCOMPARE(controller->list_records().size(), size_t(1));
        QVERIFY(controller->state().selected_links.empty());
        QVERIFY(!enabled(kCmdDeleteLinks));
    }

    void newFolderSplitsAtSemicolons() {
        select_folder(a);
        QSignalSpy selections(controller.get(), &AppController::folder_selection_requested);
        ui->folder_text = QStringLiteral("News;; Sport ;Art;B");
        controller->execute(kCmdNewFolder);
        QStringList titles;
        for (const Folder* child : data->model->folders.children(a)) {
            titles << QString::fromStdString(child->title);
        }
        QCOMPARE(titles, (QStringList{"Art", "B", "News", "Sport"}));
        QCOMPARE(data->reporter.count(msg::kDuplicateFolderName), 1);  // B exists
        QCOMPARE(selections.count(), 1);
        const int first = selections.front().front().toInt();
        // Pieces are sorted before they are trimmed: " Sport " comes first.
        QCOMPARE(data->model->folders.find(first)->title, std::string("Sport"));

        ui->folder_text = QStringLiteral(";;");
        controller->execute(kCmdNewFolder);
        QCOMPARE(selections.count(), 1);
    }

    void captionsNameThePlace() {
        select_folder(kRootFolder);
        QCOMPARE(controller->caption(), QStringLiteral("Tagberry 2.0 - /"));
        select_folder(b);
        QCOMPARE(controller->caption(), QStringLiteral("Tagberry 2.0 - /A/B"));
        select_folder(kMostVisitedFolder);
        QCOMPARE(controller->caption(), QStringLiteral("Tagberry 2.0 - Most Visited"));
        select_folder(kRecentlyVisitedFolder);
        QCOMPARE(controller->caption(), QStringLiteral("Tagberry 2.0 - Recently Visited"));
        select_folder(kNewsfeedsFolder);
        QCOMPARE(controller->caption(), QStringLiteral("Tagberry 2.0 - Newsfeeds"));
        select_folder(kSearchResultsFolder);
        QCOMPARE(controller->caption(), QStringLiteral("Tagberry 2.0 - Search Results"));
        controller->search_text = [] { return QStringLiteral("tag:news"); };
        QCOMPARE(controller->caption(),
                 QStringLiteral("Tagberry 2.0 - Search Results ('tag:news')"));
        controller->feed_title = [](int) { return QStringLiteral("Daily"); };
        select_folder(4, true);
        QCOMPARE(controller->caption(), QStringLiteral("Tagberry 2.0 - Daily"));

        select_folder(b);
        ui->properties = {{QStringLiteral("Renamed"), true}};
        QSignalSpy captions(controller.get(), &AppController::caption_changed);
        controller->execute(kCmdFolderProperties);
        QCOMPARE(ui->shown_properties, (std::pair<QString, bool>{"B", false}));
        QCOMPARE(captions.count(), 1);
        QCOMPARE(captions.front().front().toString(), QStringLiteral("Tagberry 2.0 - /A/Renamed"));
        QVERIFY(data->model->folders.find(b)->is_protected);
    }

    void specialFoldersListTheirRecords() {
        const int seldom = data->link("Seldom", "http://s.example", b);
        const int often = data->link("Often", "http://o.example", b);
        const int old = data->link("Old", "http://old.example", a);
        auto& stats = data->model->statistics;
        stats.update_visits_counter(seldom, 0, kNow - 3600);
        stats.update_visits_counter(often, 0, kNow);
        stats.update_visits_counter(often, 1, kNow);
        stats.update_visits_counter(old, 0, kNow - 48 * 3600);

        auto ids = [&] {
            QList<int> list;
            for (const Link& link : controller->list_records())
                list << link.id;
            std::sort(list.begin(), list.end());
            return list;
        };
        select_folder(kMostVisitedFolder);  // mode of {1, 2, 1} is 1
        QCOMPARE(ids(), QList<int>{often});
        select_folder(kRecentlyVisitedFolder);
        QCOMPARE(ids(), (QList<int>{seldom, often}));
        settings->recent_links_timespan = 0;
        QVERIFY(ids().isEmpty());
        select_folder(kNewsfeedsFolder);
        QVERIFY(ids().isEmpty());
        select_folder(kSearchResultsFolder);
        QVERIFY(ids().isEmpty());
        controller->search_results = [&] { return data->model->links.links_in(a); };
        QCOMPARE(ids(), QList<int>{old});
        select_folder(kRootFolder);
        QVERIFY(ids().isEmpty());

        select_folder(kMostVisitedFolder);
        controller->links_selected({often});
        QSignalSpy selections(controller.get(), &AppController::folder_selection_requested);
        controller->execute(kCmdOpenContainingFolder);
        QCOMPARE(selections.front().front().toInt(), b);
    }

    void moveCommandsPassTheirChecks() {
        const int link = data->link("L", "http://l.example", b);
        select_folder(a);
        controller->execute(kCmdMoveFolder);
        QCOMPARE(ui->move_request.selected_object, QStringLiteral("/A"));
        QVERIFY(!ui->move_request.moving_links);
        QCOMPARE(ui->move_request.choice.check(a), int(msg::kMoveFolderToItself));
        QCOMPARE(ui->move_request.choice.check(b), int(msg::kMoveFolderToDescendant));
        QCOMPARE(ui->move_request.choice.check(kRootFolder), 0);

        select_folder(b);
        controller->links_selected({link});
        ui->move_result = {.target = a};
        controller->execute(kCmdMoveLinks);
        QCOMPARE(ui->move_request.selected_object, QStringLiteral("L"));
        QCOMPARE(ui->move_request.choice.check(kRootFolder), int(msg::kNoLinksInRoot));
        QCOMPARE(data->model->links.find(link)->parent, a);

        select_folder(a);
        controller->links_selected({link, link});
        ui->move_result = {};
        controller->execute(kCmdMoveLinks);
        QCOMPARE(ui->move_request.selected_object, QStringLiteral("Group of links"));
        QCOMPARE(ui->move_request.last_targets, std::vector<RowId>{a});
    }

    void newLinkPresetsAndRemembersParents() {
        select_folder(kMostVisitedFolder);
        controller->new_link_dialog(QStringLiteral("T"), QStringLiteral("u.example"), {});
        QCOMPARE(ui->link_request.preset.parent, kRootFolder);
        QCOMPARE(ui->link_request.preset.title, std::string("T"));

        select_folder(a);
        ui->new_link_answer = NewLinkRequest{.parent = b, .title = "T", .url = "u.example"};
        QSignalSpy selections(controller.get(), &AppController::folder_selection_requested);
        controller->execute(kCmdNewLink);
        QCOMPARE(ui->link_request.preset.parent, a);
        QCOMPARE(selections.count(), 1);  // the parent is not the current folder
        const auto in_b = data->model->links.links_in(b);
        QCOMPARE(in_b.size(), size_t(1));
        QCOMPARE(in_b.front().url, std::string("http://u.example"));
        controller->execute(kCmdNewLink);
        QCOMPARE(ui->link_request.recent_parents, std::vector<RowId>{b});
        QCOMPARE(data->model->links.links_in(b).size(), size_t(1));  // refused duplicate
    }

    void duplicatesDeleteTheChosenLinks() {
        const int one = data->link("One", "http://d.example", a);
        const int two = data->link("Two", "http://d.example", b);
        const int lone = data->link("Lone", "http://lone.example", b);
        select_folder(b);
        controller->links_selected({lone});
        controller->execute(kCmdShowDuplicates);  // disabled: nothing shown
        QVERIFY(shown_messages().isEmpty());

        controller->links_selected({two});
        ui->doomed = {one};
        controller->execute(kCmdShowDuplicates);
        QCOMPARE(ui->duplicates_request.rows.size(), size_t(2));
        QCOMPARE(ui->duplicates_request.folder_path, QStringLiteral("/A/B"));
        QVERIFY(!data->model->links.find(one).has_value());
        QVERIFY(!data->model->links.find(two)->has_duplicates);
    }

    void preferencesAndApplications() {
        ui->prefs = [](Settings& s) {
            s.reset_visits_after_timespan = 0;
            s.reset_visits_for_inactive_links = true;
        };
        controller->execute(kCmdMostVisitedPrefs);
        QVERIFY(!settings->reset_visits_for_inactive_links);

        QSignalSpy changed(controller.get(), &AppController::applications_changed);
        controller->execute(kCmdEditAppList);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(settings->applications.size(), size_t(1));

        const int link = data->link("L", "http://l.example", b);
        select_folder(b);
        // A feed item's number that equals a link id opens nothing.
        select_folder(3, true);
        controller->links_selected({link});
        controller->execute(kCmdOpenWithFirst);
        QVERIFY(ui->opened.isEmpty());
        select_folder(b);
        controller->links_selected({link});
        controller->execute(kCmdOpenWithFirst);
        controller->execute(kCmdCopyAddress);
        QCOMPARE(ui->opened, QStringList{"/usr/bin/added http://l.example"});
        QCOMPARE(ui->clipboard, QStringLiteral("http://l.example"));
        QCOMPARE(data->model->links.find(link)->visits, 1);

        settings->language = 1;
        acknowledge();
        controller->execute(kCmdHelp);
        QCOMPARE(ui->opened.back(), QStringLiteral("help:ru"));
        QCOMPARE(shown_messages(), QStringList{text_of(msg::kCannotOpenBrowser)});
    }
};

QTEST_MAIN(AppControllerTest)
#include "app_controller_test.moc"
