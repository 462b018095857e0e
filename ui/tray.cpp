#include "ui/tray.h"

#include <QMenu>
#include <QSystemTrayIcon>

#include "core/charset.h"
#include "ui/qt_text.h"

namespace lumora {

SystemTray::SystemTray() = default;
SystemTray::~SystemTray() = default;

bool SystemTray::Available() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

void SystemTray::Show(const QIcon& icon, const QString& tip, QMenu* menu) {
    if (!m_icon) {
        m_icon = std::make_unique<QSystemTrayIcon>();
        QObject::connect(m_icon.get(), &QSystemTrayIcon::activated, [this](QSystemTrayIcon::ActivationReason reason) {
            if (!m_handler) return;
            if (reason == QSystemTrayIcon::Trigger) m_handler(kLeftClick);
            if (reason == QSystemTrayIcon::DoubleClick) m_handler(kDoubleClick);
        });
    }
    m_icon->setIcon(icon);
    m_icon->setToolTip(TrayTip(tip));
    m_icon->setContextMenu(menu);
    m_icon->show();
}

void SystemTray::Remove() {
    if (m_icon) m_icon->hide();
}

bool SystemTray::Shown() const { return m_icon && m_icon->isVisible(); }

void SystemTray::SetEventHandler(EventHandler handler) { m_handler = std::move(handler); }

QString TrayTip(const QString& tip) {
    constexpr std::size_t kMaxBytes = 62;
    QString cut;
    std::size_t bytes = 0;
    for (qsizetype i = 0; i < tip.size();) {
        // A surrogate pair stays whole.
        const qsizetype length = (tip.at(i).isHighSurrogate() && i + 1 < tip.size()) ? 2 : 1;
        const QString piece = tip.mid(i, length);
        const std::size_t pieceBytes = FromQt(piece).size();
        if (bytes + pieceBytes > kMaxBytes) break;
        cut += piece;
        bytes += pieceBytes;
        i += length;
    }
    return cut;
}

}  // namespace lumora
