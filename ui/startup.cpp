#include "ui/startup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFont>
#include <QPixmap>
#include <QProxyStyle>

#include "ui/main_window.h"
#include "ui/qt_text.h"
#include "ui/tab_control.h"

namespace lumora {

ParsedStartup ParseStartupOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Lumora: watches deal boards and collects activity tips."));
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption config(QStringLiteral("config"), QStringLiteral("Read the settings from FILE."),
                              QStringLiteral("FILE"));
    QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                  QStringLiteral("Save a picture of every page into DIR and end."),
                                  QStringLiteral("DIR"));
    screenshot.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(config);
    parser.addOption(screenshot);

    ParsedStartup parsed;
    if (!parser.parse(arguments)) {
        parsed.error = parser.errorText();
        return parsed;
    }
    if (parser.isSet(QStringLiteral("help"))) parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version"))) parser.showVersion();
    if (!parser.positionalArguments().isEmpty()) {
        parsed.error = QStringLiteral("unexpected argument: ") + parser.positionalArguments().front();
        return parsed;
    }
    if (parser.isSet(config)) parsed.options.config = std::filesystem::path(parser.value(config).toStdU16String());
    parsed.options.screenshotDir = parser.value(screenshot);
    return parsed;
}

Settings LoadWindowSettings(const std::optional<std::filesystem::path>& config,
                            const std::function<void(const QString& message)>& report) {
    SettingsLoad load = LoadSettings(config);
    if (load.error) {
        if (report)
            report(QStringLiteral("设置文件有误，本次使用默认设置。\n\n") + Utf8(*load.error));
        return DefaultSettings();
    }
    return std::move(load.settings);
}

namespace {

// The fixed layout was drawn for small tabs and radio buttons whose caption
// sits close to the mark: "开始监控" has to fit 64 px, thirteen tabs one strip.
class CompactStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        switch (metric) {
        case PM_TabBarTabHSpace:
            return 10;
        case PM_RadioButtonLabelSpacing:
            return 3;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }
};

}  // namespace

void ApplyWindowStyle(QApplication& app) {
    QApplication::setStyle(new CompactStyle);
    QFont font = app.font();
    font.setPixelSize(12);
    app.setFont(font);
}

bool SaveScreenshots(MainWindow& window, const QString& dir) {
    if (!QDir().mkpath(dir)) return false;
    TabControl& tabs = window.tabs();
    const int shown = tabs.currentIndex();
    bool saved = true;
    for (int i = 0; i < tabs.count(); ++i) {
        tabs.setCurrentIndex(i);
        const QString file = QDir(dir).filePath(QStringLiteral("page-%1.png").arg(i + 1, 2, 10, QLatin1Char('0')));
        saved = window.grab().save(file) && saved;
    }
    tabs.setCurrentIndex(shown);
    return saved;
}

}  // namespace lumora
