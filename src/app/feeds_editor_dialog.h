#pragma once

#include <QDialog>

class QTreeWidget;

namespace tb {
class ChannelList;
}

namespace tb::app {

// "Newsfeeds Editor": the subscriptions with check boxes, "Delete checked", "Add new..." and
// "Update Frequency...". changed() tells the caller to reload, update and rebuild the tree.
class FeedsEditorDialog : public QDialog {
    Q_OBJECT

public:
    FeedsEditorDialog(ChannelList& channels, int& update_minutes, QWidget* parent = nullptr);

    bool changed() const { return changed_; }
    QTreeWidget* list() const { return rows_; }

    void delete_checked();
    void add_new();
    void update_frequency();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fill_rows();

    ChannelList& channels_;
    int& update_minutes_;
    QTreeWidget* rows_;
    bool changed_ = false;
};

}  // namespace tb::app
