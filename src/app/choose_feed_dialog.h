#pragma once

#include <QDialog>
#include <cstddef>
#include <optional>
#include <vector>

#include "feeds/feed_discovery.h"

class QListWidget;

namespace tb::app {

// "Choose a Newsfeed": the feeds a web page announces, each with its title and address; OK
// subscribes to the chosen one.
class ChooseFeedDialog : public QDialog {
    Q_OBJECT

public:
    explicit ChooseFeedDialog(const std::vector<FeedLink>& feeds, QWidget* parent = nullptr);

    std::optional<std::size_t> chosen() const;
    QListWidget* list() const { return list_; }

private:
    QListWidget* list_;
};

}  // namespace tb::app
