#include "app/app_icon.h"

// At global scope, where the resource compiler defines the registration.
static void register_tagberry_resources() {
    Q_INIT_RESOURCE(tagberry);
}

namespace tb::app {

void register_icons() {
    static const bool registered = (register_tagberry_resources(), true);
    (void)registered;
}

QIcon program_icon() {
    register_icons();
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
