#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QVariantMap>

namespace wm {

class Table;

// Reading a boat list from a CSV file into the participant database: first a plan with a verdict for every
// row of the file, shown before anything is written, then the added rows in one transaction.

// The file's text: UTF-8 (with or without a byte-order mark) when it is valid UTF-8, Windows-1252 otherwise.
QString decodeCsvText(const QByteArray& bytes);

struct CsvRecord {
    int line = 0; // where the record begins in the file, from 1
    QStringList fields;
};
// Records separated by semicolons or commas, whichever the first line uses more of. Quoted fields may hold
// separators, doubled quotes and line breaks. Empty lines are left out.
QList<CsvRecord> parseCsv(const QString& text);

struct ImportRow {
    enum class Verdict { Add, Duplicate, Refused };
    int line = 0;
    QStringList texts; // sail number, boat name, name, type, Yardstick, start group, as read
    Verdict verdict = Verdict::Refused;
    QString verdictText; // as the preview shows it
    QVariantMap values;  // what an added row writes
};

// The preview's column captions: the six read columns and the verdict.
QStringList importColumns();

// A verdict for every record of the file against the boats already in `participants` (and the rows added
// before it). Throws wm::Error when the file has no column of a boat list at all.
QList<ImportRow> planImport(const QByteArray& file, const Table& participants);

// Writes the rows to add in one transaction; returns how many were added. Throws wm::Error, writing none.
int applyImport(Table& participants, const QList<ImportRow>& rows);

} // namespace wm
