#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QIcon>
#include <array>
#include <functional>
#include <string_view>
#include <vector>

#include "health/link_health.h"
#include "model/link_store.h"

namespace tb::app {

constexpr int kLinkIdRole = Qt::UserRole;
// The link's Health as a number.
constexpr int kLinkHealthRole = Qt::UserRole + 1;

// The text colour of a link row: unvisited and duplicated links stand out.
QColor link_colour(const Link& link, bool highlight_unvisited);

// The rows of the link list: title and address of each record, in one model that every display
// type of the list shares.
class LinkListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit LinkListModel(QObject* parent = nullptr);

    // The addresses among urls that more than one live link has, sorted.
    using DuplicatesLookup =
        std::function<std::vector<std::string_view>(std::vector<std::string_view> urls)>;
    // Where the rows read their duplicate flags, a block of rows at a time when one of them is
    // first shown: a folder of 50,000 links shows without 50,000 index lookups. Without it the
    // records' own flags show.
    void set_duplicates_lookup(DuplicatesLookup lookup) { duplicates_of_ = std::move(lookup); }
    // Replaces the rows; feed items get no colours. The current sort is applied again. With a
    // duplicates lookup the records' flags are read again, so they may come without them.
    void set_records(std::vector<Link> records, bool feed_mode);
    // Drops the rows of the touched links without a fresh record, then puts each fresh record,
    // its flag read, at its place in the current order, row by row: a write shows without a
    // reset, and the selection stays on the rows that remain.
    void update_records(const std::vector<RowId>& touched, std::vector<Link> fresh);
    // The addresses the rows of these links show.
    std::vector<std::string> urls_of(const std::vector<RowId>& ids) const;
    void set_highlight_unvisited(bool on) { highlight_unvisited_ = on; }
    // Where the overlay icons read each link's health; without it links show none.
    void set_health_lookup(std::function<Health(const Link&)> lookup);
    // Repaints the icons after new check results, keeping rows and selection.
    void refresh_health();

    // A header click: flips the one direction flag that both columns share and sorts.
    void sort_by_header(int column);
    bool descending() const { return descending_; }

    // The row's link, its duplicate flag read.
    const Link& record(int row) const;
    // The row's link id, without reading any flag.
    RowId id_at(int row) const { return rows_[static_cast<size_t>(row)].link.id; }
    int row_of(RowId id) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Links are dragged onto the tree's folders; feed items are not links and stay put.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }

private:
    struct Row {
        Link link;
        // Whether link.has_duplicates holds what the database says.
        bool flag_read = false;
    };

    void apply_sort();
    // Reads the flags of the rows in the block of row that have not read theirs.
    void read_flags(size_t row) const;
    // Inserts the record, or replaces its link's row and moves it where the order wants it.
    void put_record(Link link);
    // The order of the rows: the sorted column, then the folder's own order (title, then id).
    bool goes_before(const Link& a, const Link& b) const;

    // Mutable because a row reads its flag when it is first shown.
    mutable std::vector<Row> rows_;
    DuplicatesLookup duplicates_of_;
    bool feed_mode_ = false;
    bool highlight_unvisited_ = true;
    bool descending_ = false;
    int sort_column_ = -1;
    std::function<Health(const Link&)> health_of_;
    QIcon link_icon_;
    // The link icon with each health's overlay, by Health.
    std::array<QIcon, 5> health_icons_;
    QIcon feed_item_icon_;
};

}  // namespace tb::app
