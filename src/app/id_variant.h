#pragma once

#include <QVariant>

#include "storage/ids.h"

namespace tb::app {

// Row ids travel through item data as qlonglong, which a QVariant holds whole; toInt() would
// cut an id above the int range.
inline QVariant id_variant(RowId id) {
    return QVariant(static_cast<qlonglong>(id));
}
inline RowId variant_id(const QVariant& value) {
    return value.toLongLong();
}

}  // namespace tb::app
