#include "CsvExport.h"

namespace wm {

QString csvField(const QString& text, QChar separator) {
    const bool quoted = text.contains(separator) || text.contains(u'"') || text.contains(u'\n') ||
                        text.contains(u'\r') || (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()));
    if (!quoted) {
        return text;
    }
    QString doubled = text;
    doubled.replace(u'"', QStringLiteral("\"\""));
    return u'"' + doubled + u'"';
}

QByteArray csvFile(const QStringList& header, const QList<QStringList>& rows) {
    QString text;
    auto appendLine = [&text](const QStringList& fields) {
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (i > 0) {
                text += u';';
            }
            text += csvField(fields[i]);
        }
        text += QStringLiteral("\r\n");
    };
    appendLine(header);
    for (const QStringList& row : rows) {
        appendLine(row);
    }
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

} // namespace wm
