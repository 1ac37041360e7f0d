#pragma once

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
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

// A web page as an HTML parser reads it (Python's html.parser, which knows nothing of this program): the text of
// each heading and paragraph, the content of each meta element by its name or http-equiv, every element that
// would load something from elsewhere, and the cells of every table row (header rows included).
struct ParsedPage {
    bool ok = false;
    QStringList headings; // h1, h2, h3 in order, as "h2:text"
    QStringList paragraphs;
    QMap<QString, QString> meta;
    QStringList outside; // "tag attribute=value" that would fetch something
    QList<QList<QStringList>> tables;
};

inline ParsedPage parsePage(const QByteArray& html) {
    static const QString script = QStringLiteral(R"(
import json, sys
from html.parser import HTMLParser
class P(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.out = {'headings': [], 'paragraphs': [], 'meta': {}, 'outside': [], 'tables': []}
        self.text = None; self.tag = None; self.row = None; self.cell = None
    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        for k in ('src', 'href'):
            if k in a: self.out['outside'].append(tag + ' ' + k + '=' + a[k])
        if tag == 'meta':
            key = a.get('name') or a.get('http-equiv')
            if key: self.out['meta'][key] = a.get('content', '')
        if tag in ('h1', 'h2', 'h3', 'p'): self.tag = tag; self.text = ''
        if tag == 'table': self.out['tables'].append([])
        if tag == 'tr': self.row = []
        if tag in ('td', 'th'): self.cell = ''
    def handle_endtag(self, tag):
        if tag == self.tag:
            t = ' '.join(self.text.split())
            if tag == 'p': self.out['paragraphs'].append(t)
            else: self.out['headings'].append(tag + ':' + t)
            self.tag = None
        if tag in ('td', 'th') and self.cell is not None: self.row.append(self.cell); self.cell = None
        if tag == 'tr' and self.row is not None: self.out['tables'][-1].append(self.row); self.row = None
    def handle_data(self, data):
        if self.tag: self.text += data
        if self.cell is not None: self.cell += data
p = P(); p.feed(sys.stdin.buffer.read().decode('utf-8')); p.close()
print(json.dumps(p.out))
)");
    ParsedPage page;
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty()) {
        return page;
    }
    QProcess parser;
    parser.start(python, {QStringLiteral("-c"), script});
    parser.write(html);
    parser.closeWriteChannel();
    if (!parser.waitForFinished(20000) || parser.exitCode() != 0) {
        return page;
    }
    const QJsonObject out = QJsonDocument::fromJson(parser.readAllStandardOutput()).object();
    auto strings = [](const QJsonArray& a) {
        QStringList list;
        for (const QJsonValue& v : a) {
            list << v.toString();
        }
        return list;
    };
    page.headings = strings(out.value(QStringLiteral("headings")).toArray());
    page.paragraphs = strings(out.value(QStringLiteral("paragraphs")).toArray());
    page.outside = strings(out.value(QStringLiteral("outside")).toArray());
    const QJsonObject meta = out.value(QStringLiteral("meta")).toObject();
    for (auto it = meta.begin(); it != meta.end(); ++it) {
        page.meta.insert(it.key(), it.value().toString());
    }
    for (const QJsonValue& table : out.value(QStringLiteral("tables")).toArray()) {
        QList<QStringList> rows;
        for (const QJsonValue& row : table.toArray()) {
            rows << strings(row.toArray());
        }
        page.tables << rows;
    }
    page.ok = true;
    return page;
}

} // namespace wm::test
