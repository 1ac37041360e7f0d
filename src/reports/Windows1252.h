#pragma once

#include <QByteArray>
#include <QString>

namespace wm {

// Text as Windows-1252 bytes for the PDF standard fonts. A character the code page lacks becomes '?'
// (Qt's encoder would write 0x1A, which the fonts show as nothing).
QByteArray toWindows1252(const QString& text);

} // namespace wm
