#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace wm {

// A result as a web page: one table with a caption line above it and small print below it.
struct HtmlResult {
    QString title;   // the page's title in the browser
    QString product; // left of the header line, as on the PDF
    QString header;  // right of the header line: caption and date as on the PDF
    QStringList columns;
    QList<bool> alignRight; // per column; missing entries are left-aligned
    QList<QStringList> rows;
    QStringList notes; // small lines under the table (how it was computed, the footer)
};

// Text for HTML content and attribute values: & < > " ' become entities.
QString htmlEscaped(const QString& text);

// A self-contained HTML5 page in UTF-8: inline CSS, no script, nothing loaded from elsewhere. On a narrow
// screen the table scrolls sideways instead of shrinking its text; printed, the header row repeats.
QByteArray htmlPage(const HtmlResult& result);

} // namespace wm
