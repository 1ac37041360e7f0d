#include "participants/YardstickList.h"

#include "participants/CsvImport.h"
#include "store/Error.h"
#include "store/Fields.h"
#include "store/IniFile.h"
#include "store/SafeFile.h"
#include "store/Table.h"
#include "store/YardstickInForce.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace wm {

namespace {

enum Column { Type, Yardstick, Hint, kColumns };

int columnOf(const QString& header) {
    const QString h = header.trimmed().toCaseFolded();
    if (h == u"typ") {
        return Type;
    }
    if (h == u"yardstick") {
        return Yardstick;
    }
    if (h == u"hinweis") {
        return Hint;
    }
    return -1;
}

QString remarkOf(const YardstickEntry& entry) {
    QStringList parts;
    if (!entry.note.isEmpty()) {
        parts << entry.note;
    }
    if (!entry.hint.isEmpty()) {
        parts << entry.hint;
    }
    if (entry.earlierLine > 0) {
        parts << QStringLiteral("Typ doppelt in der Liste: Zeile %1 gilt, nicht Zeile %2")
                     .arg(entry.line)
                     .arg(entry.earlierLine);
    }
    return parts.join(QStringLiteral(" · "));
}

} // namespace

QString yardstickTypeKey(const QString& type) {
    return type.simplified().toCaseFolded();
}

QString readYardstickText(const QString& text, double& yardstick, QString& note) {
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        return QStringLiteral("keine Yardstick-Zahl");
    }
    static const QRegularExpression numberFirst(QStringLiteral(R"(^([+-]?\d+(?:[.,]\d+)?)\s*(.*)$)"));
    const QRegularExpressionMatch m = numberFirst.match(t);
    const QString rest = m.hasMatch() ? m.captured(2) : QString();
    // A note names a class variant or a source ("104 B", "104v"); anything else after the number is a typo.
    if (!m.hasMatch() || (!rest.isEmpty() && !rest[0].isLetter() && rest[0] != u'(')) {
        return QStringLiteral("Yardstick '%1' ist keine Zahl").arg(t);
    }
    const double value = parseNumber(m.captured(1));
    if (value <= 0) {
        return QStringLiteral("Yardstick '%1' ist nicht größer als 0").arg(t);
    }
    yardstick = value;
    note = rest.simplified();
    return {};
}

YardstickList readYardstickList(const QByteArray& file) {
    const QList<CsvRecord> records = parseCsv(decodeCsvText(file));
    qsizetype source[kColumns] = {-1, -1, -1};
    if (!records.isEmpty()) {
        const QStringList& header = records.front().fields;
        for (qsizetype i = 0; i < header.size(); ++i) {
            const int column = columnOf(header[i]);
            if (column >= 0 && source[column] < 0) {
                source[column] = i;
            }
        }
    }
    if (source[Type] < 0 || source[Yardstick] < 0) {
        throw Error(QStringLiteral("Die Datei ist keine Yardstick-Liste: ihre erste Zeile braucht die Spalten "
                                   "'Typ' und 'Yardstick'."));
    }
    YardstickList list;
    list.byType.reserve(records.size());
    for (qsizetype r = 1; r < records.size(); ++r) {
        const CsvRecord& record = records[r];
        YardstickEntry entry;
        entry.line = record.line;
        entry.type = record.fields.value(source[Type]).simplified();
        entry.hint = source[Hint] < 0 ? QString() : record.fields.value(source[Hint]).simplified();
        if (entry.type.isEmpty()) {
            list.problems.append({record.line, record.fields.join(QStringLiteral("; ")), QStringLiteral("kein Typ")});
            continue;
        }
        const QString reason = readYardstickText(record.fields.value(source[Yardstick]), entry.yardstick, entry.note);
        if (!reason.isEmpty()) {
            list.problems.append({record.line, entry.type, reason});
            continue;
        }
        const QString key = yardstickTypeKey(entry.type);
        const auto earlier = list.byType.constFind(key);
        if (earlier != list.byType.cend()) {
            entry.earlierLine = earlier->line;
            list.problems.append(
                {record.line, entry.type,
                 QStringLiteral("Typ steht schon in Zeile %1; die spätere Zeile gilt").arg(earlier->line)});
        }
        list.byType.insert(key, entry);
    }
    return list;
}

QString proposedListName(const QString& path) {
    return QFileInfo(path).completeBaseName().replace(u'_', u' ').simplified();
}

YardstickComparison compareWithRegister(const YardstickList& list, const Table& participants) {
    const int sailAt = participants.fieldIndex(field::SEGELNR);
    const int boatAt = participants.fieldIndex(field::BOOTSNAME);
    const int typeAt = participants.fieldIndex(field::TYP);
    const int yardstickAt = participants.fieldIndex(field::YS);
    YardstickComparison comparison;
    QHash<QString, QString> missing; // key to the type as the register first writes it
    for (const Table::Row& row : participants.select()) {
        const QString type = row.values.value(typeAt).toString();
        const QString key = yardstickTypeKey(type);
        if (key.isEmpty()) {
            continue;
        }
        const auto entry = list.byType.constFind(key);
        if (entry == list.byType.cend()) {
            missing.insert(key, missing.value(key, type.simplified()));
            continue;
        }
        const QVariant now = row.values.value(yardstickAt);
        // Stored numbers are read back from their text form; a difference below that is no change.
        if (!now.isNull() && std::abs(now.toDouble() - entry->yardstick) < 1e-9) {
            continue;
        }
        comparison.changes.append({row.rowid, row.values.value(sailAt).toString(), row.values.value(boatAt).toString(),
                                   type, now, entry->yardstick, remarkOf(*entry)});
    }
    comparison.missingTypes = missing.values();
    std::sort(comparison.missingTypes.begin(), comparison.missingTypes.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return comparison;
}

int applyYardsticks(Table& participants, const QList<YardstickChange>& changes, const AppliedList& applied) {
    QList<std::pair<qint64, QVariant>> values;
    values.reserve(changes.size());
    for (const YardstickChange& change : changes) {
        values.append({change.rowid, change.listed});
    }
    Table::Transaction transaction(participants);
    participants.setColumn(field::YS, values);

    // The settings are written before the numbers are committed, so that a settings file that cannot be
    // written leaves the register as it was; a commit that then fails puts the old settings back.
    QFile old(applied.prefsPath);
    const bool existed = old.open(QIODevice::ReadOnly);
    const QByteArray before = existed ? old.readAll() : QByteArray();
    old.close();
    IniFile prefs(applied.prefsPath);
    prefs.writeString(kYardstickSection, kYardstickListKey, applied.name);
    prefs.writeString(kYardstickSection, kYardstickDateKey, applied.date.toString(QStringLiteral("yyyy-MM-dd")));
    prefs.writeString(kYardstickSection, kYardstickDatabaseKey, applied.database);
    prefs.save();
    try {
        transaction.commit();
    } catch (const Error&) {
        try {
            if (existed) {
                writeWholeFile(applied.prefsPath, before);
            } else {
                QFile::remove(applied.prefsPath);
            }
        } catch (const Error&) {
            // The commit's message is the one that matters: the numbers were not changed.
        }
        throw;
    }
    return int(changes.size());
}

} // namespace wm
