#include "HtmlExport.h"

namespace wm {

namespace {

const QString kStyle = QStringLiteral(
    "body{font-family:Helvetica,Arial,\"Liberation Sans\",sans-serif;color:#000;margin:1em;font-size:16px}"
    "header{display:flex;flex-wrap:wrap;justify-content:space-between;align-items:baseline;gap:0 2em;"
    "color:#808080;border-bottom:1px solid #ccc;margin-bottom:.5em}"
    ".product{font-weight:bold;font-size:1.3em}"
    "h1{font-size:1em;font-weight:normal;margin:.3em 0}"
    ".scroll{overflow-x:auto;-webkit-overflow-scrolling:touch}"
    "table{border-collapse:collapse;white-space:nowrap}"
    "th,td{padding:.3em .8em;text-align:left;border-bottom:1px solid #e0e0e0}"
    "th{color:#808080;border-bottom:2px solid #808080}"
    ".r{text-align:right}"
    "tbody tr:nth-child(even){background:#f5f5f5}"
    "footer{color:#808080;font-size:.75em;margin-top:1em}"
    "footer p{margin:.2em 0}"
    "@page{size:A4 landscape;margin:10mm}"
    "@media print{body{margin:0;font-size:11pt}.scroll{overflow:visible}thead{display:table-header-group}"
    "tr{break-inside:avoid}tbody tr:nth-child(even){background:none}}");

// Only pages with a heading carry its rule, so every other page stays as it was.
const QString kHeadingStyle = QStringLiteral("h2.race{font-size:1.4em;margin:.2em 0 .5em}");

QString cell(const char* tag, const QString& text, bool right) {
    const QString name = QString::fromLatin1(tag);
    return u'<' + name + (right ? QStringLiteral(" class=\"r\">") : QStringLiteral(">")) + htmlEscaped(text) +
           QStringLiteral("</") + name + u'>';
}

} // namespace

QString htmlEscaped(const QString& text) {
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            out += QStringLiteral("&amp;");
            break;
        case u'<':
            out += QStringLiteral("&lt;");
            break;
        case u'>':
            out += QStringLiteral("&gt;");
            break;
        case u'"':
            out += QStringLiteral("&quot;");
            break;
        case u'\'':
            out += QStringLiteral("&#39;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

const QString& htmlStyle() {
    return kStyle;
}

QString htmlTable(const QStringList& columns, const QList<bool>& alignRight, const QList<QStringList>& rows) {
    auto right = [&alignRight](qsizetype column) { return alignRight.value(column, false); };
    QString html;
    html.reserve(128 + rows.size() * 160);
    html += QStringLiteral("<div class=\"scroll\">\n<table>\n<thead><tr>");
    for (qsizetype c = 0; c < columns.size(); ++c) {
        html += cell("th", columns[c], right(c));
    }
    html += QStringLiteral("</tr></thead>\n<tbody>\n");
    for (const QStringList& row : rows) {
        html += QStringLiteral("<tr>");
        for (qsizetype c = 0; c < columns.size(); ++c) {
            html += cell("td", row.value(c), right(c));
        }
        html += QStringLiteral("</tr>\n");
    }
    html += QStringLiteral("</tbody>\n</table>\n</div>\n");
    return html;
}

QByteArray htmlPage(const HtmlResult& result) {
    QString html;
    html.reserve(256 + result.rows.size() * 160);
    html += QStringLiteral("<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">\n"
                           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>") +
            htmlEscaped(result.title) + QStringLiteral("</title>\n<style>") + kStyle +
            (result.heading.isEmpty() ? QString() : kHeadingStyle) +
            QStringLiteral("</style>\n</head>\n<body>\n<header><span class=\"product\">") +
            htmlEscaped(result.product) + QStringLiteral("</span><h1>") + htmlEscaped(result.header) +
            QStringLiteral("</h1></header>\n");
    if (!result.heading.isEmpty()) {
        html += QStringLiteral("<h2 class=\"race\">") + htmlEscaped(result.heading) + QStringLiteral("</h2>\n");
    }
    html += htmlTable(result.columns, result.alignRight, result.rows);
    html += QStringLiteral("<footer>\n");
    for (const QString& note : result.notes) {
        html += QStringLiteral("<p>") + htmlEscaped(note) + QStringLiteral("</p>\n");
    }
    html += QStringLiteral("</footer>\n</body>\n</html>\n");
    return html.toUtf8();
}

} // namespace wm
