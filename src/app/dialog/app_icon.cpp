#include "app/dialog/app_icon.h"

#include <QString>

namespace tinta {

QIcon AppIcon() {
    return QIcon(QStringLiteral(":/tinta_dn_quor/tinta_dn_quor.svg"));
}

}  // namespace tinta
