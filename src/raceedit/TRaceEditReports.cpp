#include "desktop/ActionGuard.h"
#include "desktop/GridBinding.h"
#include "desktop/Notifier.h"
#include "desktop/Preview.h"
#include "raceedit/StoredRaces.h"
#include "raceedit/TRaceEdit.h"
#include "reports/RaceExport.h"
#include "reports/RacePage.h"
#include "reports/ResultRows.h"
#include "reports/TReport.h"
#include "store/Error.h"
#include "store/SafeFile.h"
#include "timing/Clock.h"
#include "timing/Scoring.h"
#include "ui_TRaceEdit.h"

#include <QDir>
#include <QPrinter>

// The class reports of the race browser: printed, as PDF, web page and CSV.

namespace wm {

QString TRaceEdit::reportsDir() const {
    return ProgramDir::findEntry(m_programDir.root(), QStringLiteral("Reports"));
}

ReportData TRaceEdit::classRows(const Filter& filter, const QStringList& order, const QString& emptyMessage) {
    requireRace();
    commitPendingEdit(m_ui->DBGrid1);
    ensureScored(m_table);
    ReportData rows = resultRows(m_table, filter, order);
    if (rows.rows.isEmpty()) {
        throw Error(emptyMessage);
    }
    return rows;
}

void TRaceEdit::PrepareReport(bool range) {
    if (range) {
        const QString low = m_ui->Edit1->text();
        const QString high = m_ui->Edit2->text();
        m_qryResults = classRows(yardstickFilter(low, high), {field::Punkte},
                                 QStringLiteral("Die Wettfahrt '%1' hat kein Boot mit einem Yardstick von %2 bis %3.")
                                     .arg(m_raceName, low, high));
    } else {
        const QString type = m_ui->ComboBox1->currentText();
        m_qryResults =
            classRows(typeFilter(type), {field::Punkte},
                      QStringLiteral("Die Wettfahrt '%1' hat kein Boot vom Typ '%2'.").arg(m_raceName, type));
    }
    m_page.PointsAsPlace = false;
    m_page.PlaceCounter = 1;
    m_page.ResetPrintables();
}

void TRaceEdit::previewReport(const QString& title, const ReportData& rows, bool pointsAsPlace) {
    m_report.setTitle(title);
    m_report.setPointsAsPlace(pointsAsPlace);
    m_notifier.clear();
    const ReportLayout layout = layoutReport(m_report.design(), rows, m_clock.now());
    m_preview.show(title, layout.pageLayout, [&layout](QPrinter& printer) { paintReport(layout, printer); });
}

void TRaceEdit::exportClass(const QString& caption, const QString& fileName) {
    m_page.ReportCaption = caption;
    const QString dir = reportsDir();
    m_page.exportResults(m_qryResults, dir + u'/' + fileName);
    m_notifier.notify(kAppCaption, QStringLiteral("Der Report ") + caption +
                                       QStringLiteral(" wurde exportiert (PDF)\r\rnach: ") +
                                       QDir::toNativeSeparators(dir));
}

void TRaceEdit::Label8Click() {
    guarded(m_prompts, [&] {
        const ReportData rows =
            classRows({}, {field::Punkte}, QStringLiteral("Die Wettfahrt '%1' hat keine Einträge.").arg(m_raceName));
        previewReport(m_raceName, rows, true);
    });
}

void TRaceEdit::Label13Click() {
    guarded(m_prompts, [&] {
        PrepareReport(false);
        previewReport(typeTitle(m_raceName, m_ui->ComboBox1->currentText()), m_qryResults, false);
    });
}

void TRaceEdit::Label14Click() {
    guarded(m_prompts, [&] {
        PrepareReport(true);
        previewReport(rangeTitle(m_raceName, m_ui->Edit1->text(), m_ui->Edit2->text()), m_qryResults, false);
    });
}

void TRaceEdit::Label15Click() {
    guarded(m_prompts, [&] {
        PrepareReport(false);
        const QString type = m_ui->ComboBox1->currentText();
        exportClass(typeTitle(m_raceName, type), typePdfName(m_raceName, type));
    });
}

void TRaceEdit::Label16Click() {
    guarded(m_prompts, [&] {
        PrepareReport(true);
        const QString low = m_ui->Edit1->text();
        const QString high = m_ui->Edit2->text();
        exportClass(rangeCaption(m_raceName, low, high), rangePdfName(m_raceName, low, high));
    });
}

void TRaceEdit::selectOverall() {
    m_qryResults =
        classRows({}, {field::BZEIT}, QStringLiteral("Die Wettfahrt '%1' hat keine Einträge.").arg(m_raceName));
    m_page.PointsAsPlace = false;
    m_page.PlaceCounter = 1;
    m_page.ResetPrintables();
}

void TRaceEdit::Label17Click() {
    guarded(m_prompts, [&] {
        selectOverall();
        m_page.ReportCaption = m_raceName;
        const QString path = reportsDir() + u'/' + m_raceName + QStringLiteral(".pdf");
        m_page.exportResults(m_qryResults, path);
        m_notifier.notify(kAppCaption, QStringLiteral("Der Report der Wettfahrt '") + m_raceName +
                                           QStringLiteral("' wurde exportiert:\r\r") + QDir::toNativeSeparators(path));
    });
}

// ---- the same selections as a web page or a CSV file ----

QString TRaceEdit::exportRows(const QString& caption, const QString& pdfName, Format format) {
    // Places as on the class and overall PDFs: running numbers from the first row on.
    const bool pointsAsPlace = m_page.PointsAsPlace;
    const int firstPlace = m_page.PlaceCounter;
    const bool html = format == Format::Html;
    const QString path =
        reportsDir() + u'/' + besidePdf(pdfName, html ? QStringLiteral(".html") : QStringLiteral(".csv"));
    writeWholeFile(path, html ? htmlPage(raceHtml(m_qryResults, caption, m_clock.now(), pointsAsPlace, firstPlace))
                              : raceCsv(m_qryResults, pointsAsPlace, firstPlace));
    return path;
}

void TRaceEdit::exportClassAs(bool range, Format format) {
    guarded(m_prompts, [&] {
        PrepareReport(range);
        const QString type = m_ui->ComboBox1->currentText();
        const QString low = m_ui->Edit1->text();
        const QString high = m_ui->Edit2->text();
        const QString caption = range ? rangeCaption(m_raceName, low, high) : typeTitle(m_raceName, type);
        exportRows(caption, range ? rangePdfName(m_raceName, low, high) : typePdfName(m_raceName, type), format);
        m_notifier.notify(kAppCaption,
                          QStringLiteral("Der Report ") + caption + QStringLiteral(" wurde exportiert (") +
                              (format == Format::Html ? QStringLiteral("Webseite") : QStringLiteral("CSV")) +
                              QStringLiteral(")\r\rnach: ") + QDir::toNativeSeparators(reportsDir()));
    });
}

void TRaceEdit::exportOverallAs(Format format) {
    guarded(m_prompts, [&] {
        selectOverall();
        const QString path = exportRows(m_raceName, m_raceName + QStringLiteral(".pdf"), format);
        m_notifier.notify(
            kAppCaption,
            QStringLiteral("Der Report der Wettfahrt '") + m_raceName + QStringLiteral("' wurde ") +
                (format == Format::Html ? QStringLiteral("als Webseite") : QStringLiteral("als CSV-Datei")) +
                QStringLiteral(" exportiert:\r\r") + QDir::toNativeSeparators(path));
    });
}

void TRaceEdit::Label15HtmlClick() {
    exportClassAs(false, Format::Html);
}

void TRaceEdit::Label15CsvClick() {
    exportClassAs(false, Format::Csv);
}

void TRaceEdit::Label16HtmlClick() {
    exportClassAs(true, Format::Html);
}

void TRaceEdit::Label16CsvClick() {
    exportClassAs(true, Format::Csv);
}

void TRaceEdit::Label17HtmlClick() {
    exportOverallAs(Format::Html);
}

void TRaceEdit::Label17CsvClick() {
    exportOverallAs(Format::Csv);
}
} // namespace wm
