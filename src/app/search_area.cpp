#include "app/search_area.h"

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>

#include "app/app_controller.h"
#include "app/find_dialog.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "exchange/bookmark_export.h"
#include "exchange/results_page.h"
#include "platform/messages.h"

namespace tb::app {

SearchArea::SearchArea(AppController& controller, UiServices& ui, QObject* parent)
    : QObject(parent),
      controller_(controller),
      ui_(ui),
      history_(controller.model().db),
      engine_(controller.model(), history_) {
    ask_find = [this] { return run_find_dialog(); };
    controller_.search_results = [this] { return engine_.results(); };
    controller_.search_text = [this] {
        return QString::fromStdString(engine_.current_query().text);
    };
    controller_.rerun_search = [this] { engine_.refresh(); };
    register_commands();
}

void SearchArea::register_commands() {
    auto always = [] { return CommandStatus{}; };
    controller_.add_command(
        kCmdFind, [this] { find(); }, always);
    controller_.add_command(
        kCmdDeleteQueries, [this] { clear_history(); }, always);
    controller_.add_command(
        kCmdExport, [this] { export_all(); }, always);
    controller_.add_command(
        kCmdExportBranch, [this] { export_branch(); },
        [this] {
            const WindowState& s = controller_.state();
            return CommandStatus{.enabled =
                                     !s.feed_mode && (s.current_folder >= kRootFolder ||
                                                      s.current_folder == kSearchResultsFolder)};
        });
}

void SearchArea::attach(MainWindow& window) {
    window_ = &window;
    window.fill_recent_queries = [this](QMenu* menu) { fill_recent_queries(menu); };
    QLineEdit* edit = window.quick_search_edit();
    auto* find_button =
        window.quick_search_bar()->findChild<QPushButton*>(QStringLiteral("QuickFindButton"));
    auto run = [this, edit] { quick_search(edit->text()); };
    connect(edit, &QLineEdit::returnPressed, this, run);
    connect(find_button, &QPushButton::clicked, this, run);
}

std::optional<SearchQuery> SearchArea::run_find_dialog() {
    FindDialog dialog(controller_.dialog_parent());
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.entered();
}

void SearchArea::find() {
    auto entered = ask_find();
    if (!entered) {
        return;
    }
    int count =
        engine_.find(*entered, controller_.state().feed_mode ? kNothingSelected
                                                             : controller_.state().current_folder);
    if (count != -1) {
        show_results(count, false);
    }
}

void SearchArea::quick_search(const QString& text) {
    auto count = engine_.quick_search(text.toStdString());
    if (count && *count != -1) {
        show_results(*count, true);
    }
}

void SearchArea::rerun(int index) {
    auto count = engine_.rerun_saved(static_cast<size_t>(index));
    if (count && *count != -1) {
        show_results(*count, false);
    }
}

void SearchArea::show_results(int count, bool quiet) {
    if (!quiet && count == 0) {
        controller_.inform(msg::kNothingFound, {engine_.current_query().text});
        return;
    }
    if (window_ != nullptr) {
        window_->select_folder(kSearchResultsFolder);
    }
    // Selecting the folder again shows the new results even when it was already selected.
    controller_.folder_selected(kSearchResultsFolder, false);
}

void SearchArea::fill_recent_queries(QMenu* menu) {
    menu->clear();
    history_.load_query_history();
    const auto& list = history_.list();
    for (size_t i = 0; i < list.size(); ++i) {
        QAction* item = menu->addAction(QString::fromStdString(list[i].text));
        const int index = static_cast<int>(i);
        connect(item, &QAction::triggered, this, [this, index] { rerun(index); });
    }
    if (list.empty()) {
        menu->addAction(message_text(Message::of(msg::kNoSavedQueries)))->setEnabled(false);
    }
    menu->addSeparator();
    QAction* clean = menu->addAction(message_text(Message::of(msg::kCleanList)));
    connect(clean, &QAction::triggered, this, [this] { controller_.execute(kCmdDeleteQueries); });
}

void SearchArea::clear_history() {
    if (controller_.confirm(msg::kDeleteQueriesQuestion, {}, true)) {
        history_.clear();
    }
}

void SearchArea::export_all() {
    auto path = ui_.save_html_file(QString::fromLatin1(kDefaultExportFileName));
    if (path) {
        export_bookmarks(controller_.model(), path->toStdString(), 0);
    }
}

void SearchArea::export_branch() {
    const RowId folder = controller_.state().current_folder;
    const std::string query = engine_.current_query().text;
    auto name = branch_export_file_name(controller_.model(), folder, query);
    if (!name) {
        return;
    }
    auto path = ui_.save_html_file(QString::fromStdString(*name));
    if (!path) {
        return;
    }
    if (folder == kSearchResultsFolder) {
        save_search_results_page(path->toStdString(), engine_.results(), query,
                                 controller_.model().db.reporter());
    } else {
        export_bookmarks(controller_.model(), path->toStdString(), folder);
    }
}

}  // namespace tb::app
