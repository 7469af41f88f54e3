#include "app/folder_tree.h"

#include <QApplication>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QStyle>
#include <vector>

#include "app/id_variant.h"
#include "app/item_drag.h"

namespace tb::app {

FolderTree::FolderTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
}

QIcon FolderTree::folder_icon() {
    // One icon for every item: building it per item decodes its images thousands of times.
    // Kept for the whole run, so it never outlives the application object's pixmap support.
    static const QIcon* icon = new QIcon(QIcon::fromTheme(
        QStringLiteral("folder"), QApplication::style()->standardIcon(QStyle::SP_DirIcon)));
    return *icon;
}

void FolderTree::fill(const FolderStore& folders, RowId select) {
    populate(folders);
    if (!select_id(select)) {
        select_id(kRootFolder);
    }
}

void FolderTree::populate(const FolderStore& folders) {
    const QSignalBlocker blocker(this);
    clear();
    if (const Folder* root = folders.find(kRootFolder)) {
        auto* item = new QTreeWidgetItem(this, {QString::fromStdString(root->title)});
        item->setData(0, kFolderIdRole, id_variant(root->id));
        item->setIcon(0, folder_icon());
        add_children(item, root->id, folders);
    }
}

QTreeWidgetItem* FolderTree::add_special(RowId id, const QString& text, const QIcon& icon) {
    const QSignalBlocker blocker(this);
    auto* item = new QTreeWidgetItem(this, {text});
    item->setData(0, kFolderIdRole, id_variant(id));
    item->setIcon(0, icon);
    return item;
}

void FolderTree::add_children(QTreeWidgetItem* parent_item, RowId parent_id,
                              const FolderStore& folders) {
    // Iterative, so a deep tree cannot overflow the stack.
    std::vector<std::pair<QTreeWidgetItem*, int>> pending{{parent_item, parent_id}};
    while (!pending.empty()) {
        auto [item, id] = pending.back();
        pending.pop_back();
        for (const Folder* child : folders.children(id)) {
            auto* child_item = new QTreeWidgetItem(item, {QString::fromStdString(child->title)});
            child_item->setData(0, kFolderIdRole, id_variant(child->id));
            child_item->setIcon(0, folder_icon());
            if (child->is_protected) {
                QFont font = child_item->font(0);
                font.setItalic(true);
                child_item->setFont(0, font);
                child_item->setToolTip(0, tr("Child links are protected"));
            }
            pending.emplace_back(child_item, child->id);
        }
    }
}

QTreeWidgetItem* FolderTree::item_for(RowId id) const {
    for (QTreeWidgetItemIterator it(const_cast<FolderTree*>(this)); *it; ++it) {
        if (variant_id((*it)->data(0, kFolderIdRole)) == id &&
            !(*it)->data(0, kIsFeedRole).toBool()) {
            return *it;
        }
    }
    return nullptr;
}

QTreeWidgetItem* FolderTree::feed_item_for(RowId id) const {
    for (QTreeWidgetItemIterator it(const_cast<FolderTree*>(this)); *it; ++it) {
        if (variant_id((*it)->data(0, kFolderIdRole)) == id &&
            (*it)->data(0, kIsFeedRole).toBool()) {
            return *it;
        }
    }
    return nullptr;
}

RowId FolderTree::selected_id() const {
    QTreeWidgetItem* item = currentItem();
    return item != nullptr ? variant_id(item->data(0, kFolderIdRole)) : kNothingSelected;
}

std::set<FolderTree::ItemKey> FolderTree::expanded_items() const {
    std::set<ItemKey> keys;
    for (QTreeWidgetItemIterator it(const_cast<FolderTree*>(this)); *it; ++it) {
        if ((*it)->isExpanded()) {
            keys.emplace(variant_id((*it)->data(0, kFolderIdRole)),
                         (*it)->data(0, kIsFeedRole).toBool());
        }
    }
    return keys;
}

void FolderTree::expand_items(const std::set<ItemKey>& keys) {
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        const ItemKey key(variant_id((*it)->data(0, kFolderIdRole)),
                          (*it)->data(0, kIsFeedRole).toBool());
        if (keys.count(key) != 0) {
            (*it)->setExpanded(true);
        }
    }
}

void FolderTree::set_drop_rules(DropRules rules) {
    rules_ = std::move(rules);
    setDragEnabled(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
}

QStringList FolderTree::mimeTypes() const {
    return item_drag_formats();
}

QMimeData* FolderTree::mimeData(const QList<QTreeWidgetItem*>& items) const {
    if (items.size() != 1 || items.front()->data(0, kIsFeedRole).toBool() || !rules_.draggable) {
        return nullptr;
    }
    const RowId folder = variant_id(items.front()->data(0, kFolderIdRole));
    return rules_.draggable(folder) ? folder_mime_data(folder) : nullptr;
}

std::optional<RowId> FolderTree::folder_at(const QPoint& position) const {
    QTreeWidgetItem* item = itemAt(position);
    if (item == nullptr || item->data(0, kIsFeedRole).toBool()) {
        return std::nullopt;
    }
    return variant_id(item->data(0, kFolderIdRole));
}

void FolderTree::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* data = event->mimeData();
    if (rules_.accepts && (!dragged_links(*data).empty() || dragged_folder(*data))) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

// Refused targets leave the event ignored, so the cursor shows that no drop is possible there.
void FolderTree::dragMoveEvent(QDragMoveEvent* event) {
    const auto target = folder_at(event->position().toPoint());
    if (rules_.accepts && target && rules_.accepts(*event->mimeData(), *target)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void FolderTree::dropEvent(QDropEvent* event) {
    const auto target = folder_at(event->position().toPoint());
    if (!rules_.accepts || !target || !rules_.accepts(*event->mimeData(), *target)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    rules_.drop(*event->mimeData(), *target);
}

bool FolderTree::select_id(RowId id) {
    QTreeWidgetItem* item = item_for(id);
    if (item == nullptr) {
        return false;
    }
    for (QTreeWidgetItem* up = item->parent(); up != nullptr; up = up->parent()) {
        up->setExpanded(true);
    }
    item->setExpanded(true);
    setCurrentItem(item);
    scrollToItem(item);
    return true;
}

}  // namespace tb::app
