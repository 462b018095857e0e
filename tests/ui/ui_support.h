#pragma once

// Shared by the window tests: the recording desktop and tray, and a window
// built over them with the sites pointed at a loopback server.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QString>
#include <QStringList>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <QUrl>

#include "controls/toolkit.h"
#include "core/settings.h"
#include "monitor/http_page_reader.h"
#include "ui/desktop.h"
#include "ui/main_window.h"
#include "ui/tray.h"

namespace lumora::test {

class RecordingDesktop : public Desktop {
public:
    struct Started {
        QString program;
        QStringList arguments;
    };
    void OpenUrl(const QUrl& address) override { opened.push_back(address.toString(QUrl::FullyEncoded)); }
    void StartProgram(const QString& program, const QStringList& arguments) override {
        started.push_back({program, arguments});
    }
    void SetClipboardText(const QString& text) override { clipboard.push_back(text); }

    std::vector<QString> opened;
    std::vector<Started> started;
    std::vector<QString> clipboard;
};

class FakeTray : public Tray {
public:
    explicit FakeTray(bool available = true) : available(available) {}
    bool Available() const override { return available; }
    void Show(const QIcon& shownIcon, const QString& shownTip, QMenu* shownMenu) override {
        shown = true;
        icon = shownIcon;
        tip = shownTip;
        menu = shownMenu;
    }
    void Remove() override { shown = false; }
    bool Shown() const override { return shown; }
    void SetEventHandler(EventHandler eventHandler) override { handler = std::move(eventHandler); }
    /// What the notification area would report.
    void Emit(int code) {
        if (handler) handler(code);
    }

    bool available;
    bool shown = false;
    QIcon icon;
    QString tip;
    QMenu* menu = nullptr;
    EventHandler handler;
};

/// Runs the event loop until done() holds or the deadline passes; gives done().
inline bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline = std::chrono::seconds(10)) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > deadline.count()) return done();
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

/// Lets queued calls that are already posted run.
inline void DrainEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
                      Qt::KeyboardModifiers modifiers) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held, modifiers);
    QApplication::sendEvent(widget, &event);
}

/// A click as the user makes it: press and release at a point (the centre by default).
inline void Click(QWidget* widget, Qt::KeyboardModifiers modifiers = Qt::NoModifier, std::optional<QPoint> at = {},
                  Qt::MouseButton button = Qt::LeftButton) {
    const QPoint point = at.value_or(widget->rect().center());
    SendMouse(widget, QEvent::MouseButtonPress, point, button, modifiers);
    SendMouse(widget, QEvent::MouseButtonRelease, point, button, modifiers);
}

inline void DoubleClick(QWidget* widget, std::optional<QPoint> at = {}) {
    const QPoint point = at.value_or(widget->rect().center());
    SendMouse(widget, QEvent::MouseButtonPress, point, Qt::LeftButton, Qt::NoModifier);
    SendMouse(widget, QEvent::MouseButtonRelease, point, Qt::LeftButton, Qt::NoModifier);
    SendMouse(widget, QEvent::MouseButtonDblClick, point, Qt::LeftButton, Qt::NoModifier);
    SendMouse(widget, QEvent::MouseButtonRelease, point, Qt::LeftButton, Qt::NoModifier);
}

/// Every site at base (a loopback server, or an address nothing answers on).
inline Settings SettingsAt(const std::string& base) {
    Settings settings = DefaultSettings();
    for (auto& site : settings.siteBase) site = base;
    return settings;
}

struct WindowConfig {
    Settings settings = SettingsAt("http://127.0.0.1:9");
    bool trayAvailable = true;
    std::filesystem::path keywordFile = "/nonexistent/keywords.txt";
    /// Empty: the monitors never pause (the next cycle follows at once).
    PauseFunction pause;
};

/// A main window over a recording desktop and tray, popups recorded instead of shown.
struct WindowUnderTest {
    explicit WindowUnderTest(WindowConfig config = {}) : tray(config.trayAvailable) {
        MainWindow::Options options;
        options.reader = HttpPageReader();
        options.pause = config.pause ? config.pause : [](std::chrono::milliseconds, std::stop_token stop) {
            return !stop.stop_requested();
        };
        options.keywordFile = std::move(config.keywordFile);
        options.popup = [this](QMenu& menu) { popups.push_back(menu.objectName()); };
        window = std::make_unique<MainWindow>(std::move(config.settings), desktop, tray, std::move(options));
    }

    RecordingDesktop desktop;
    FakeTray tray;
    std::vector<QString> popups;
    std::unique_ptr<MainWindow> window;
};

}  // namespace lumora::test
