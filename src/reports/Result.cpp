#include "Result.h"

#include "reports/ResultPage.h"
#include "reports/ResultRows.h"
#include "store/SafeFile.h"
#include "store/Table.h"

#include <QFileInfo>

namespace wm {

qsizetype fieldColumn(const QStringList& fields, const QString& name) {
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (fields[i].compare(name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

QDate raceDate(const QString& raceTablePath) {
    const QFileInfo file(raceTablePath);
    const QDateTime born = file.birthTime();
    return (born.isValid() ? born : file.lastModified()).date();
}

QString raceHeading(const QString& raceName, const QDate& date) {
    return raceName + QStringLiteral(" – ") + date.toString(QStringLiteral("dd.MM.yyyy"));
}

Result raceResult(ReportData rows, const QString& caption, bool pointsAsPlace) {
    Result result;
    result.kind = Result::Kind::Race;
    result.caption = caption;
    result.pointsAsPlace = pointsAsPlace;
    result.rules = kRaceRules;
    const qsizetype points = fieldColumn(rows.fields, field::Punkte);
    result.places.reserve(rows.rows.size());
    for (qsizetype r = 0; r < rows.rows.size(); ++r) {
        result.places << (pointsAsPlace ? rows.rows[r].value(points) : QString::number(r + 1));
    }
    result.rows = std::move(rows);
    return result;
}

Result raceResult(const Table& race, const QString& caption, const Filter& filter, const QStringList& orderBy,
                  bool pointsAsPlace) {
    Result result = raceResult(resultRows(race, filter, orderBy), caption, pointsAsPlace);
    result.heading = raceHeading(QFileInfo(race.path()).completeBaseName(), raceDate(race.path()));
    return result;
}

QString besideFile(const QString& pdfPath, const QString& extension) {
    const QString pdf = QStringLiteral(".pdf");
    const QString stem = pdfPath.endsWith(pdf, Qt::CaseInsensitive) ? pdfPath.chopped(pdf.size()) : pdfPath;
    return stem + extension;
}

void writeResultFiles(const ResultFiles& files, const QString& pdfPath) {
    writeWholeFile(pdfPath, files.pdf);
    writeWholeFile(besideFile(pdfPath, QStringLiteral(".html")), files.html);
    writeWholeFile(besideFile(pdfPath, QStringLiteral(".csv")), files.csv);
}

} // namespace wm
