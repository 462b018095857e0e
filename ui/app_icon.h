#pragma once

#include <QIcon>

namespace lumora {

/// The program's own 32 x 32 icon, for the windows and the tray.
QIcon AppIcon();

}  // namespace lumora
