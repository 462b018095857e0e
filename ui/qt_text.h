#pragma once

#include <QString>

#include "core/text.h"

namespace lumora {

/// GBK working text for a widget. Invalid bytes become U+FFFD.
QString ToQt(const Text& text);
/// A widget's text as GBK working text; characters GBK lacks become "?".
Text FromQt(const QString& text);
/// A UTF-8 literal or setting for a widget.
inline QString Utf8(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

/// How a cell shows its text: on one line, each run of white space (line
/// breaks included) as one blank, none at the ends. The cell's text itself is
/// never changed; its tooltip shows it in full.
QString OneLine(const QString& text);

}  // namespace lumora
