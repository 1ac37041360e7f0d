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
    QString heading; // above the table (the race's name and date); none when empty
    QStringList columns;
    QList<bool> alignRight; // per column; missing entries are left-aligned
    QList<QStringList> rows;
    QStringList notes; // small lines under the table (how it was computed, the footer)
};

// Text for HTML content and attribute values: & < > " ' become entities.
QString htmlEscaped(const QString& text);

// The fonts, greys and table rules of every web page of the program.
const QString& htmlStyle();
// The table of a page inside its sideways-scrolling box, header row first.
QString htmlTable(const QStringList& columns, const QList<bool>& alignRight, const QList<QStringList>& rows);

// A self-contained HTML5 page in UTF-8: inline CSS, no script, nothing loaded from elsewhere. On a narrow
// screen the table scrolls sideways instead of shrinking its text; printed, the header row repeats.
QByteArray htmlPage(const HtmlResult& result);

} // namespace wm
