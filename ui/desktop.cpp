#include "ui/desktop.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QProcess>

namespace lumora {

void SystemDesktop::OpenUrl(const QUrl& address) { QDesktopServices::openUrl(address); }

void SystemDesktop::StartProgram(const QString& program, const QStringList& arguments) {
    QProcess::startDetached(program, arguments);
}

void SystemDesktop::SetClipboardText(const QString& text) {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(text);
}

std::optional<QUrl> WebAddress(const QString& text) {
    const bool web = text.startsWith(QStringLiteral("http://"), Qt::CaseInsensitive) ||
                     text.startsWith(QStringLiteral("https://"), Qt::CaseInsensitive);
    if (!web) return std::nullopt;
    for (QChar c : text)
        if (c.isSpace() || c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            return std::nullopt;
    QUrl url(text, QUrl::TolerantMode);
    if (!url.isValid() || url.host().isEmpty()) return std::nullopt;
    const QString scheme = url.scheme().toLower();
    if (scheme != QStringLiteral("http") && scheme != QStringLiteral("https")) return std::nullopt;
    return url;
}

bool OpenLink(Desktop& desktop, const QString& browser, const QString& link) {
    auto address = WebAddress(link);
    if (!address) return false;
    if (browser.isEmpty())
        desktop.OpenUrl(*address);
    else
        desktop.StartProgram(browser, {link});
    return true;
}

}  // namespace lumora
