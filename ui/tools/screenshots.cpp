// Pictures of every page of the real window with the monitors' grids filled
// from a loopback server: lumora_screenshots DIR. Run it under Xvfb for a
// real X window (it then also saves the whole screen as screen.png), or on
// the offscreen platform.

#include <cstdio>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScreen>
#include <QTimer>

#include "controls/toolkit.h"
#include "monitor/http_page_reader.h"
#include "tests/support/board_pages.h"
#include "tests/support/loopback_server.h"
#include "tests/support/temp_files.h"
#include "ui/desktop.h"
#include "ui/main_window.h"
#include "ui/startup.h"
#include "ui/tray.h"
#include "web/curl_transfer.h"

namespace {

class QuietDesktop : public lumora::Desktop {
public:
    void OpenUrl(const QUrl&) override {}
    void StartProgram(const QString&, const QStringList&) override {}
    void SetClipboardText(const QString&) override {}
};

class NoTray : public lumora::Tray {
public:
    bool Available() const override { return false; }
    void Show(const QIcon&, const QString&, QMenu*) override {}
    void Remove() override {}
    bool Shown() const override { return false; }
    void SetEventHandler(EventHandler) override {}
};

void Wait(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

int main(int argc, char** argv) {
    using namespace lumora;
    if (argc != 2) {
        std::fprintf(stderr, "usage: lumora_screenshots DIR\n");
        return 2;
    }
    CurlGlobal curl;
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ApplyWindowStyle(app);

    test::LoopbackServer server;
    const std::string base = server.base();
    for (const SlotDescriptor& slot : kSlotTable)
        server.Serve(std::string(slot.defaultPath), test::BoardPage(slot.site, base, 40, slot.number * 1000 + 1));

    Settings settings = DefaultSettings();
    for (auto& site : settings.siteBase) site = base;
    QuietDesktop desktop;
    NoTray tray;
    MainWindow::Options options;
    options.reader = HttpPageReader();
    test::TempDir keywordDir;
    // GBK: 返利, 红包, 签到, 抽奖, 话费, one a line
    options.keywordFile = keywordDir.Write("keywords.txt",
                                           "\xB7\xB5\xC0\xFB\r\n\xBA\xEC\xB0\xFC\r\n\xC7\xA9\xB5\xBD\r\n"
                                           "\xB3\xE9\xBD\xB1\r\n\xBB\xB0\xB7\xD1\r\n");
    MainWindow window(std::move(settings), desktop, tray, std::move(options));
    window.show();

    for (int slot : {1, 2, 5, 8, 9}) {
        SetChecked(window.monitors().StartButtonOf(slot), true);
        window.monitors().StartMonitor(slot);
    }
    QElapsedTimer clock;
    clock.start();
    auto filled = [&] {
        for (int slot : {1, 2, 5, 8, 9})
            if (GridGetCell(window.monitors().GridOf(slot), 1, 2).empty()) return false;
        return true;
    };
    while (!filled() && clock.elapsed() < 10000) Wait(20);
    Wait(100);

    const QString dir = QString::fromLocal8Bit(argv[1]);
    bool saved = SaveScreenshots(window, dir);
    if (QGuiApplication::platformName() == QStringLiteral("xcb")) {
        if (QScreen* screen = QGuiApplication::primaryScreen())
            saved = screen->grabWindow(0).save(dir + QStringLiteral("/screen.png")) && saved;
    }
    window.OpenKeywordWindow();
    if (KeywordWindow* keywords = window.keywordWindow()) {
        Wait(100);
        saved = keywords->grab().save(dir + QStringLiteral("/keywords.png")) && saved;
        keywords->close();
    }
    window.monitors().StopAll();
    std::printf("%s: %s\n", saved ? "saved" : "failed", argv[1]);
    return saved && filled() ? 0 : 1;
}
