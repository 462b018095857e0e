#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

#include "monitor/http_page_reader.h"
#include "ui/app_icon.h"
#include "ui/desktop.h"
#include "ui/main_window.h"
#include "ui/source_scrape_runner.h"
#include "ui/startup.h"
#include "ui/tray.h"
#include "web/curl_transfer.h"

int main(int argc, char** argv) {
    // Before any thread: the monitors' transfers rely on it.
    lumora::CurlGlobal curl;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lumora"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QApplication::setWindowIcon(lumora::AppIcon());
    // Closing the window hides it to the tray; only "退出" ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    lumora::ApplyWindowStyle(app);

    const lumora::ParsedStartup startup = lumora::ParseStartupOptions(QApplication::arguments());
    if (!startup.error.isEmpty()) {
        std::fprintf(stderr, "lumora: %s\n", startup.error.toLocal8Bit().constData());
        return 2;
    }
    lumora::Settings settings = lumora::LoadWindowSettings(startup.options.config, [](const QString& message) {
        QMessageBox::warning(nullptr, QStringLiteral("Lumora"), message);
    });

    // Outlives the window, which drops rows delivered after it is gone.
    lumora::SourceScrapeRunner scrapes;
    lumora::SystemDesktop desktop;
    lumora::SystemTray tray;
    lumora::MainWindow::Options options;
    options.reader = lumora::HttpPageReader();
    options.scrapes = &scrapes;
    lumora::MainWindow window(std::move(settings), desktop, tray, std::move(options));
    QObject::connect(&window, &lumora::MainWindow::quitRequested, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    window.show();

    if (!startup.options.screenshotDir.isEmpty()) {
        QTimer::singleShot(200, &window, [&] {
            const bool saved = lumora::SaveScreenshots(window, startup.options.screenshotDir);
            window.Quit();
            if (!saved) QCoreApplication::exit(1);
        });
    }
    return QApplication::exec();
}
