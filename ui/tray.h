#pragma once

#include <functional>
#include <memory>

#include <QIcon>
#include <QString>

class QMenu;
class QSystemTrayIcon;

namespace lumora {

/// The notification-area icon of the main window. Used on the window's thread.
class Tray {
public:
    /// 1 left button released, 2 left double-click, 3 right button or menu key.
    using EventHandler = std::function<void(int code)>;
    enum EventCode { kLeftClick = 1, kDoubleClick = 2, kMenuRequest = 3 };

    virtual ~Tray() = default;
    /// Whether the desktop has a notification area at all.
    virtual bool Available() const = 0;
    /// Adds the icon or replaces it; menu is the one its right button offers.
    virtual void Show(const QIcon& icon, const QString& tip, QMenu* menu) = 0;
    virtual void Remove() = 0;
    virtual bool Shown() const = 0;
    virtual void SetEventHandler(EventHandler handler) = 0;
};

/// The tray on QSystemTrayIcon. The desktop shows the icon's menu itself on a
/// right click (some notification areas never tell the program of that click),
/// so code 3 is not passed on.
class SystemTray : public Tray {
public:
    SystemTray();
    ~SystemTray() override;

    bool Available() const override;
    void Show(const QIcon& icon, const QString& tip, QMenu* menu) override;
    void Remove() override;
    bool Shown() const override;
    void SetEventHandler(EventHandler handler) override;

private:
    std::unique_ptr<QSystemTrayIcon> m_icon;
    EventHandler m_handler;
};

/// The tip as the notification area takes it: at most 62 bytes of GBK.
QString TrayTip(const QString& tip);

}  // namespace lumora
