#include "participants/CsvImport.h"

#include "store/Error.h"
#include "store/Fields.h"
#include "store/Table.h"

#include <QSet>
#include <QStringDecoder>

#include <array>

namespace wm {

namespace {

// What 0x80..0x9F stand for in Windows-1252; the five unused codes are read as the replacement character.
constexpr char16_t kHigh[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

QString fromWindows1252(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char b : bytes) {
        const auto c = static_cast<unsigned char>(b);
        text += c >= 0x80 && c < 0xA0 ? QChar(kHigh[c - 0x80]) : QChar(char16_t(c));
    }
    return text;
}

QChar separatorOf(const QString& text) {
    qsizetype semicolons = 0;
    qsizetype commas = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && (c == u'\n' || c == u'\r')) {
            break;
        } else if (!quoted && c == u';') {
            ++semicolons;
        } else if (!quoted && c == u',') {
            ++commas;
        }
    }
    return commas > semicolons ? u',' : u';';
}

// The register fields the file's columns feed, in the preview's order.
enum Column { Sail, Boat, Name, Type, Yardstick, Start, kColumns };
const std::array<const QString*, kColumns> kFieldOf = {&field::SEGELNR, &field::BOOTSNAME, &field::NAME,
                                                       &field::TYP,     &field::YS,        &field::START};

int columnOf(const QString& header) {
    const QString h = header.trimmed().toCaseFolded();
    if (h == u"segelnummer" || h == u"segelnr." || h == u"segelnr") {
        return Sail;
    }
    if (h == u"bootsname") {
        return Boat;
    }
    if (h == u"name") {
        return Name;
    }
    if (h == u"typ") {
        return Type;
    }
    if (h == u"yardstick" || h == u"ys") {
        return Yardstick;
    }
    if (h == u"start") {
        return Start;
    }
    return -1;
}

QString keyOf(const QString& sail, const QString& boat, const QString& name) {
    return sail + QChar(0x1F) + boat + QChar(0x1F) + name;
}

// The reason a row is refused, or an empty text; fills the values to write.
QString check(const QStringList& texts, QVariantMap& values) {
    const FieldList& fields = participantFields();
    for (int c : {Sail, Boat, Name, Type}) {
        const FieldDef* def = findField(fields, *kFieldOf[size_t(c)]);
        if (texts[c].size() > def->width) {
            return QStringLiteral("%1 ist länger als %2 Zeichen").arg(importColumns()[c]).arg(def->width);
        }
        values.insert(def->name, texts[c]);
    }
    if (texts[Yardstick].isEmpty()) {
        return QStringLiteral("keine Yardstick-Zahl");
    }
    double yardstick = 0;
    try {
        yardstick = parseNumber(texts[Yardstick]);
    } catch (const Error&) {
        return QStringLiteral("Yardstick '%1' ist keine Zahl").arg(texts[Yardstick]);
    }
    if (yardstick <= 0) {
        return QStringLiteral("Yardstick '%1' ist nicht größer als 0").arg(texts[Yardstick]);
    }
    values.insert(field::YS, yardstick);
    // A list without start groups puts every boat into the first one.
    int start = 1;
    if (!texts[Start].isEmpty()) {
        double group = 0;
        try {
            group = parseNumber(texts[Start]);
        } catch (const Error&) {
            group = 0;
        }
        if (group < 1 || group > 5 || group != double(int(group))) {
            return QStringLiteral("Startgruppe '%1' liegt nicht zwischen 1 und 5").arg(texts[Start]);
        }
        start = int(group);
    }
    values.insert(field::START, start);
    values.insert(field::STATUS, QStringLiteral("0"));
    return {};
}

} // namespace

QString decodeCsvText(const QByteArray& bytes) {
    const QByteArray body = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(body);
    return utf8.hasError() ? fromWindows1252(body) : text;
}

QList<CsvRecord> parseCsv(const QString& text) {
    const QChar separator = separatorOf(text);
    QList<CsvRecord> records;
    CsvRecord record{1, {}};
    QString fieldText;
    bool quoted = false;
    bool wasQuoted = false;
    int line = 1;
    auto endField = [&] {
        record.fields << (wasQuoted ? fieldText : fieldText.trimmed());
        fieldText.clear();
        wasQuoted = false;
    };
    auto endRecord = [&] {
        endField();
        const bool empty = record.fields.size() == 1 && record.fields[0].isEmpty();
        if (!empty) {
            records << record;
        }
        record = CsvRecord{line, {}};
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                fieldText += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                if (c == u'\n') {
                    ++line;
                }
                fieldText += c;
            }
        } else if (c == u'"' && fieldText.trimmed().isEmpty()) {
            fieldText.clear();
            quoted = wasQuoted = true;
        } else if (c == separator) {
            endField();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
            ++line;
            endRecord();
        } else {
            fieldText += c;
        }
    }
    endRecord();
    return records;
}

QStringList importColumns() {
    return {QStringLiteral("Segelnummer"), QStringLiteral("Bootsname"), QStringLiteral("Name"),
            QStringLiteral("Typ"),         QStringLiteral("Yardstick"), QStringLiteral("Start"),
            QStringLiteral("Ergebnis")};
}

QList<ImportRow> planImport(const QByteArray& file, const Table& participants) {
    const QList<CsvRecord> records = parseCsv(decodeCsvText(file));
    std::array<qsizetype, kColumns> source;
    source.fill(-1);
    bool any = false;
    if (!records.isEmpty()) {
        const QStringList& header = records.front().fields;
        for (qsizetype i = 0; i < header.size(); ++i) {
            const int column = columnOf(header[i]);
            if (column >= 0 && source[size_t(column)] < 0) {
                source[size_t(column)] = i;
                any = true;
            }
        }
    }
    if (!any) {
        throw Error(QStringLiteral("Die Datei hat keine Kopfzeile mit Segelnummer, Bootsname, Name, Typ, Yardstick "
                                   "oder Start."));
    }

    QSet<QString> known;
    const int sailAt = participants.fieldIndex(field::SEGELNR);
    const int boatAt = participants.fieldIndex(field::BOOTSNAME);
    const int nameAt = participants.fieldIndex(field::NAME);
    for (const Table::Row& row : participants.select()) {
        known.insert(keyOf(row.values.value(sailAt).toString(), row.values.value(boatAt).toString(),
                           row.values.value(nameAt).toString()));
    }

    QList<ImportRow> rows;
    rows.reserve(records.size() - 1);
    for (qsizetype r = 1; r < records.size(); ++r) {
        ImportRow row;
        row.line = records[r].line;
        for (size_t c = 0; c < kColumns; ++c) {
            row.texts << (source[c] < 0 ? QString() : records[r].fields.value(source[c]));
        }
        const QString reason = check(row.texts, row.values);
        const QString key = keyOf(row.texts[Sail], row.texts[Boat], row.texts[Name]);
        if (!reason.isEmpty()) {
            row.verdictText = QStringLiteral("abgelehnt: ") + reason;
            row.values.clear();
        } else if (known.contains(key)) {
            row.verdict = ImportRow::Verdict::Duplicate;
            row.verdictText = QStringLiteral("übersprungen: Boot schon vorhanden");
            row.values.clear();
        } else {
            row.verdict = ImportRow::Verdict::Add;
            row.verdictText = QStringLiteral("wird hinzugefügt");
            known.insert(key);
        }
        rows << row;
    }
    return rows;
}

int applyImport(Table& participants, const QList<ImportRow>& rows) {
    Table::Transaction transaction(participants);
    int added = 0;
    for (const ImportRow& row : rows) {
        if (row.verdict == ImportRow::Verdict::Add) {
            participants.insert(row.values);
            ++added;
        }
    }
    transaction.commit();
    return added;
}

} // namespace wm
