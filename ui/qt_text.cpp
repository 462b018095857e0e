#include "ui/qt_text.h"

#include "core/charset.h"

namespace lumora {

QString ToQt(const Text& text) { return QString::fromStdU16String(GbkToUtf16(text)); }

Text FromQt(const QString& text) { return Utf16ToGbk(text.toStdU16String()); }

QString OneLine(const QString& text) {
    // simplified() folds every Unicode space, the full-width one included.
    return text.simplified();
}

}  // namespace lumora
