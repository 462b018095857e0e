#include "ui/app_icon.h"

// Resources of a static library register only when asked to.
static void InitUiResources() { Q_INIT_RESOURCE(lumora); }

namespace lumora {

QIcon AppIcon() {
    static const bool ready = (InitUiResources(), true);
    (void)ready;
    return QIcon(QStringLiteral(":/lumora/lumora.png"));
}

}  // namespace lumora
