#include "raceedit/StoredRaces.h"

#include "store/Error.h"
#include "store/Fields.h"
#include "store/ProgramDir.h"
#include "store/Table.h"
#include "timing/Scoring.h"
#include "timing/TimeMath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace wm {

namespace {

// The participant table lives in its own folder today; a copy left in the data folder under this exact
// name is still not a race.
const QString kStarterFile = QStringLiteral("StarterID.DB");
const QString kIniSuffix = QStringLiteral(".ini");

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

QString racePath(const QString& dataDir, const QString& raceName) {
    return ProgramDir::findEntry(dataDir, raceName + QStringLiteral(".db"));
}

QString raceIniPath(const QString& dataDir, const QString& raceName) {
    return ProgramDir::findEntry(dataDir, raceName + kIniSuffix);
}

bool sameFile(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

void correctTime(Table& race, qint64 rowid, const QString& elapsedText, const QString& yardstickText) {
    const QString corrected = CorrectedTime(elapsedText, yardstickText);
    race.setValues(rowid, {{field::GZEIT, elapsedText}, {field::YS, yardstickText}, {field::BZEIT, corrected}});
    CalcPoints(race);
}

void deleteRace(const QString& dataDir, const QString& raceName) {
    const QString path = racePath(dataDir, raceName);
    {
        // Deleting an open file succeeds on this system, so the other program would keep writing into
        // nothing; taking the table for ourselves first refuses a race that is still in use.
        Table probe;
        probe.open(path, Table::Mode::Exclusive);
    }
    Table::remove(path);
    const QString ini = raceIniPath(dataDir, raceName);
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
