#pragma once

#include <QObject>
#include <functional>

#include "search/query_history.h"
#include "search/search_engine.h"

class QMenu;

namespace tb::app {

class AppController;
class MainWindow;
class UiServices;

// The Find and quick-search commands, the Recent Queries menus, the exports and the Search
// Results folder, wired into the controller and the window.
class SearchArea : public QObject {
    Q_OBJECT

public:
    SearchArea(AppController& controller, UiServices& ui, QObject* parent = nullptr);

    // Connects the window's quick-search bar and menus.
    void attach(MainWindow& window);

    SearchEngine& engine() { return engine_; }
    QueryHistory& history() { return history_; }

    // The Find dialog is replaceable so tests can enter a query without showing it.
    std::function<std::optional<SearchQuery>()> ask_find;

    void quick_search(const QString& text);
    void rerun(int index);
    void fill_recent_queries(QMenu* menu);

private:
    void register_commands();
    void find();
    void clear_history();
    void export_all();
    void export_branch();
    void show_results(int count, bool quiet);
    std::optional<SearchQuery> run_find_dialog();

    AppController& controller_;
    UiServices& ui_;
    QueryHistory history_;
    SearchEngine engine_;
    MainWindow* window_ = nullptr;
};

}  // namespace tb::app
