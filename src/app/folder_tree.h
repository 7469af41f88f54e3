#pragma once

#include <QTreeWidget>
#include <functional>
#include <optional>
#include <set>
#include <utility>

#include "model/folder_store.h"

namespace tb::app {

// Item data roles of folder trees.
constexpr int kFolderIdRole = Qt::UserRole;
constexpr int kIsFeedRole = Qt::UserRole + 1;

// A tree of folders: the root with every live folder below it, children sorted by title.
// The main window adds its special folders after them; dialogs show folders only.
class FolderTree : public QTreeWidget {
    Q_OBJECT

public:
    explicit FolderTree(QWidget* parent = nullptr);

    // Refills from the folder list and selects `select` when it is still there, else the root.
    // Selection signals are blocked while the items are rebuilt.
    void fill(const FolderStore& folders, RowId select);
    // Rebuilds the folder items only, with selection signals blocked.
    void populate(const FolderStore& folders);
    // Adds a top-level item after the folders.
    QTreeWidgetItem* add_special(RowId id, const QString& text, const QIcon& icon);

    QTreeWidgetItem* item_for(RowId id) const;
    // The item of a newsfeed (a child of "Newsfeeds"), whose id may equal a folder's.
    QTreeWidgetItem* feed_item_for(RowId id) const;
    // The selected item's id, or kNothingSelected.
    RowId selected_id() const;
    bool select_id(RowId id);

    // The expanded items by id and kind (feed or not), so a refill can expand them again.
    using ItemKey = std::pair<int, bool>;
    std::set<ItemKey> expanded_items() const;
    void expand_items(const std::set<ItemKey>& keys);

    static QIcon folder_icon();

    // Drags of folders out of the tree and drops of links and folders onto its folders, for the
    // main window: `accepts` judges a drop on a folder id, `drop` carries it out.
    struct DropRules {
        std::function<bool(const QMimeData& data, RowId target)> accepts;
        std::function<void(const QMimeData& data, RowId target)> drop;
        // The folder that a drag of this item carries, if any.
        std::function<bool(RowId folder)> draggable;
    };
    void set_drop_rules(DropRules rules);
    QStringList mimeTypes() const override;
    // What a drag of the items carries: one draggable folder, else nothing (no drag starts).
    QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The folder id under a drop position, or nothing over a feed or no item.
    std::optional<RowId> folder_at(const QPoint& position) const;

    void add_children(QTreeWidgetItem* parent_item, RowId parent_id, const FolderStore& folders);

    DropRules rules_;
};

}  // namespace tb::app
