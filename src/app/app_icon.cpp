#include "app/app_icon.h"

namespace tb::app {

QIcon program_icon() {
    static const QIcon icon = [] {
        QIcon result;
        for (int size : {16, 32, 48, 64, 128, 256}) {
            result.addFile(QStringLiteral(":/icons/png/tagberry_%1.png").arg(size),
                           QSize(size, size));
        }
        return result;
    }();
    return icon;
}

}  // namespace tb::app
