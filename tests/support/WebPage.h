#pragma once

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

namespace wm::test {

// What a file holds; empty when it cannot be read.
inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The cells of each body row of an exported web page's table, "&amp;" resolved.
inline QList<QStringList> htmlCells(const QString& html) {
    static const QRegularExpression row(QStringLiteral("<tr>(.*?)</tr>"));
    static const QRegularExpression cell(QStringLiteral("<td[^>]*>(.*?)</td>"));
    QList<QStringList> rows;
    const QString body = html.section(QStringLiteral("<tbody>"), 1).section(QStringLiteral("</tbody>"), 0, 0);
    for (const QRegularExpressionMatch& r : row.globalMatch(body)) {
        QStringList cells;
        for (const QRegularExpressionMatch& c : cell.globalMatch(r.captured(1))) {
            cells << c.captured(1).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        }
        rows << cells;
    }
    return rows;
}

} // namespace wm::test
