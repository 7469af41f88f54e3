#pragma once

#include <QMimeData>
#include <optional>
#include <vector>

#include "storage/ids.h"

namespace tb::app {

// What a drag inside the main window carries: the ids of links from the list, or the id of one
// folder from the tree.
QMimeData* links_mime_data(const std::vector<RowId>& ids);
QMimeData* folder_mime_data(RowId folder);
std::vector<RowId> dragged_links(const QMimeData& data);
std::optional<RowId> dragged_folder(const QMimeData& data);
QStringList item_drag_formats();

}  // namespace tb::app
