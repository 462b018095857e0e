#pragma once

#include <filesystem>
#include <functional>
#include <optional>

#include <QString>
#include <QStringList>

#include "core/settings.h"

class QApplication;

namespace lumora {

class MainWindow;

struct StartupOptions {
    std::optional<std::filesystem::path> config;
    /// Developer option: save a picture of every page here, then end.
    QString screenshotDir;
};

/// The window's command line (the program's name first). --help and
/// --version print and end the program; an unknown option gives error text.
struct ParsedStartup {
    StartupOptions options;
    QString error;
};
ParsedStartup ParseStartupOptions(const QStringList& arguments);

/// The settings for the window. A settings file that cannot be used is
/// reported through report (a message box in the program) and the window
/// starts on the built-in defaults.
Settings LoadWindowSettings(const std::optional<std::filesystem::path>& config,
                            const std::function<void(const QString& message)>& report);

/// The program's look: a font size that fits the fixed layout.
void ApplyWindowStyle(QApplication& app);

/// Saves the main window with each page in front, as page-01.png to
/// page-13.png in dir. False when a picture could not be written.
bool SaveScreenshots(MainWindow& window, const QString& dir);

}  // namespace lumora
