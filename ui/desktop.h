#pragma once

#include <optional>

#include <QString>
#include <QStringList>
#include <QUrl>

namespace lumora {

/// What the window asks of the desktop: open an address, start a program,
/// fill the clipboard. Called on the window's thread only.
class Desktop {
public:
    virtual ~Desktop() = default;
    /// The desktop's default handler for the address (the shell's "open").
    virtual void OpenUrl(const QUrl& address) = 0;
    /// Starts program with its arguments as they are: no shell, no splitting.
    virtual void StartProgram(const QString& program, const QStringList& arguments) = 0;
    virtual void SetClipboardText(const QString& text) = 0;
};

/// The real desktop: QDesktopServices, QProcess::startDetached, the clipboard.
class SystemDesktop : public Desktop {
public:
    void OpenUrl(const QUrl& address) override;
    void StartProgram(const QString& program, const QStringList& arguments) override;
    void SetClipboardText(const QString& text) override;
};

/// The address when text is a plain http or https address with a host (no
/// white space, no control characters); nothing else is ever opened.
std::optional<QUrl> WebAddress(const QString& text);

/// Opens a link from a page: with a browser program set, that program with the
/// link as its one argument, else the desktop's default. A link that is not a
/// web address is ignored. Gives whether anything was started.
bool OpenLink(Desktop& desktop, const QString& browser, const QString& link);

}  // namespace lumora
