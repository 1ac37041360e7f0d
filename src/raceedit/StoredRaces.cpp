#include "raceedit/StoredRaces.h"

#include "store/Error.h"
#include "store/Fields.h"
#include "store/ProgramDir.h"
#include "store/Table.h"
#include "timing/RaceFiles.h"
#include "timing/Scoring.h"
#include "timing/TimeMath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace wm {

namespace {

// The participant table lives in its own folder today; a copy left in the data folder under this exact
// name is still not a race.
const QString kStarterFile = QStringLiteral("StarterID.DB");

// A type such as "420/470" must not turn the PDF's name into a path.
QString fileNamePart(QString text) {
    return text.replace(u'/', u'-').replace(u'\\', u'-');
}

} // namespace

QStringList raceNames(const QStringList& fileNames) {
    QStringList files;
    for (const QString& f : fileNames) {
        if (f.endsWith(QStringLiteral(".db"), Qt::CaseInsensitive) && f != kStarterFile) {
            files << f;
        }
    }
    std::sort(files.begin(), files.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    QStringList names;
    for (const QString& f : files) {
        names.prepend(f.chopped(3));
    }
    return names;
}

QStringList raceNames(const QString& dataDir) {
    return raceNames(QDir(dataDir).entryList(QDir::Files | QDir::Hidden));
}

void correctTime(Table& race, qint64 rowid, const QString& elapsedText, const QString& yardstickText) {
    // A result code is taken in any letter case and stored as the race sheet writes it.
    const QString code = elapsedText.trimmed().toUpper();
    const QString elapsed = isResultCode(code) ? code : elapsedText;
    const QString corrected = CorrectedTime(elapsed, yardstickText);
    race.setValues(rowid, {{field::GZEIT, elapsed}, {field::YS, yardstickText}, {field::BZEIT, corrected}});
    CalcPoints(race);
}

int parseStartGroup(const QString& text) {
    bool ok = false;
    const int group = text.trimmed().toInt(&ok);
    if (!ok) {
        throw Error(QStringLiteral("'%1' ist kein gültiger ganzzahliger Wert").arg(text));
    }
    if (group < 1 || group > 5) {
        throw Error(QStringLiteral("Die Startgruppe muss zwischen 1 und 5 liegen."));
    }
    return group;
}

int parseShiftSeconds(const QString& text) {
    bool ok = false;
    const int seconds = text.trimmed().toInt(&ok);
    if (!ok) {
        throw Error(QStringLiteral("'%1' ist kein gültiger ganzzahliger Wert").arg(text));
    }
    return seconds;
}

QList<StartShift> planStartShift(const Table& race, int group, int seconds) {
    const int start = race.fieldIndex(field::START);
    const int gzeit = race.fieldIndex(field::GZEIT);
    QList<StartShift> plan;
    for (const Table::Row& row : race.select()) {
        const QString elapsed = displayText(row.values.value(gzeit));
        bool isGroup = false;
        if (row.values.value(start).toString().trimmed().toInt(&isGroup) != group || !isGroup ||
            elapsed.trimmed().isEmpty() || IsMarker(elapsed)) {
            continue;
        }
        const qint64 oldSeconds = qRound64(ParseTime(elapsed) * 86400.0);
        const qint64 newSeconds = oldSeconds - seconds;
        const QString entry = (displayText(row.values.value(race.fieldIndex(field::SEGELNR))) + u' ' +
                               displayText(row.values.value(race.fieldIndex(field::BOOTSNAME))))
                                  .trimmed();
        if (newSeconds < 0) {
            throw Error(QStringLiteral("Die Startzeit kann nicht um %1 Sekunden verschoben werden: die gesegelte Zeit "
                                       "von %2 (%3) würde negativ.\nEs wurde nichts geändert.")
                            .arg(QString::number(seconds), entry, elapsed));
        }
        plan.append({row.rowid, entry, elapsed, FormatTime(double(newSeconds) / 86400.0)});
    }
    return plan;
}

QString startShiftPreview(const QList<StartShift>& plan, int group, int seconds) {
    QString text = QStringLiteral("Die Startzeit der Startgruppe %1 wird um %2 Sekunden %3 verschoben.\n"
                                  "Die gesegelte Zeit dieser Einträge ändert sich:\n\n")
                       .arg(QString::number(group), QString::number(std::abs(seconds)),
                            seconds >= 0 ? QStringLiteral("nach hinten") : QStringLiteral("nach vorne"));
    for (const StartShift& s : plan) {
        text += s.entry + QStringLiteral(": ") + s.oldElapsed + QStringLiteral(" → ") + s.newElapsed + u'\n';
    }
    return text + QStringLiteral("\nÄnderungen speichern und die Wettfahrt neu werten?");
}

QList<StartShift> shiftStart(Table& race, int group, int seconds) {
    // Times and points change together or not at all; scoring runs inside this one transaction.
    Table::Transaction transaction(race);
    const QList<StartShift> plan = planStartShift(race, group, seconds);
    const int ys = race.fieldIndex(field::YS);
    for (const StartShift& s : plan) {
        const QString yardstick = displayText(race.read(s.rowid).values.value(ys));
        race.setValues(s.rowid, {{field::GZEIT, s.newElapsed}, {field::BZEIT, CorrectedTime(s.newElapsed, yardstick)}});
    }
    CalcPoints(race);
    transaction.commit();
    return plan;
}

void deleteRace(const QString& dataDir, const QString& raceName) {
    const RaceFiles files(dataDir, raceName);
    const QString path = files.tablePath();
    {
        // Deleting an open file succeeds on this system, so the other program would keep writing into
        // nothing; taking the table for ourselves first refuses a race that is still in use.
        Table probe;
        probe.open(path, Table::Mode::Exclusive);
    }
    Table::remove(path);
    const QString ini = files.infoPath();
    if (QFileInfo::exists(ini) && !QFile::remove(ini)) {
        throw Error(QStringLiteral("Die Datei '%1' konnte nicht gelöscht werden.").arg(QDir::toNativeSeparators(ini)));
    }
}

Filter typeFilter(const QString& type) {
    return Filter::equals(field::TYP, type);
}

Filter yardstickFilter(const QString& lowText, const QString& highText) {
    return Filter::between(field::YS, parseNumber(lowText), parseNumber(highText));
}

QString typeTitle(const QString& race, const QString& type) {
    return race + QStringLiteral(" (") + type + u')';
}

QString rangeTitle(const QString& race, const QString& low, const QString& high) {
    return race + QStringLiteral(" (YS ") + low + QStringLiteral(" bis ") + high + u')';
}

QString rangeCaption(const QString& race, const QString& low, const QString& high) {
    return race + QStringLiteral(" (YS ") + low + u'-' + high + u')';
}

QString typePdfName(const QString& race, const QString& type) {
    return fileNamePart(race + u' ' + type) + QStringLiteral(".pdf");
}

QString rangePdfName(const QString& race, const QString& low, const QString& high) {
    return fileNamePart(race + u' ' + low + u'-' + high) + QStringLiteral(".pdf");
}

} // namespace wm
