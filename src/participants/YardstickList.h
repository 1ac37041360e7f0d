#pragma once

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QList>
#include <QStringList>

namespace wm {

class Table;

// A season's Yardstick list as the club keeps it (a CSV file with the columns "Typ", "Yardstick" and
// optionally "Hinweis"), compared with the register and applied to it in one step.

struct YardstickEntry {
    int line = 0; // the row of the file that is in force for this type
    QString type; // as the file writes it
    double yardstick = 0;
    QString note;        // what follows the number ("B" of "104 B")
    QString hint;        // the "Hinweis" column
    int earlierLine = 0; // the type was given before in this row, and that row gives way
};

struct YardstickProblem {
    int line = 0;
    QString text; // the row's type, or the whole row when it has none
    QString reason;
};

struct YardstickList {
    QHash<QString, YardstickEntry> byType; // by yardstickTypeKey()
    QList<YardstickProblem> problems;      // rows that could not be read, and types given twice
};

// Types are the same without regard to letter case, blanks at either end and repeated inner blanks.
QString yardstickTypeKey(const QString& type);

// A Yardstick text of a list: a number greater than 0 with a comma or a point, optionally followed by a note
// that begins with a letter ("104 B", "104v"). Returns the reason it is refused, or an empty text and the
// number and note.
QString readYardstickText(const QString& text, double& yardstick, QString& note);

// Reads a list file (UTF-8 or Windows-1252, semicolons or commas). Rows that cannot be read are kept as
// problems; a type given twice takes the later row. Throws wm::Error when the header lacks "Typ" or
// "Yardstick".
YardstickList readYardstickList(const QByteArray& file);

// The name proposed for a list read from `path`: its file name without extension, "_" read as a blank
// ("DSV_2027.csv" gives "DSV 2027").
QString proposedListName(const QString& path);

struct YardstickChange {
    qint64 rowid = 0;
    QString sailNumber;
    QString boatName;
    QString type;
    QVariant now; // null when the boat has no number yet
    double listed = 0;
    QString remark; // the list's note and hint, and whether the type was given twice
};

struct YardstickComparison {
    QList<YardstickChange> changes; // register order
    QStringList missingTypes;       // register types the list lacks, each once, in alphabetical order
};

// Every boat of the participant table whose type is in the list with another number. Throws wm::Error.
YardstickComparison compareWithRegister(const YardstickList& list, const Table& participants);

struct AppliedList {
    QString name;
    QDate date;
    QString database; // the participant database, as "LastSID" names it
    QString prefsPath;
};

// Writes the numbers of `changes` into the participant table and names the list in prefs.ini ([Yardstick]
// Liste, Datum, Datenbank), all or nothing: a failure of either leaves both as they were and throws
// wm::Error. Returns how many boats changed.
int applyYardsticks(Table& participants, const QList<YardstickChange>& changes, const AppliedList& applied);

} // namespace wm
