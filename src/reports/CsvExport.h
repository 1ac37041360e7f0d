#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace wm {

// One field as it stands in a CSV line: quoted (with doubled quotes) when it holds the separator, a quote,
// a line break or blanks at either end, which a spreadsheet would otherwise split or trim.
QString csvField(const QString& text, QChar separator = u';');

// A whole CSV file as German spreadsheet programs open it directly: UTF-8 with a byte-order mark,
// semicolons, one header row, CRLF line ends.
QByteArray csvFile(const QStringList& header, const QList<QStringList>& rows);

} // namespace wm
