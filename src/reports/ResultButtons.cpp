#include "ResultButtons.h"

#include "desktop/ActionGuard.h"
#include "desktop/Notifier.h"
#include "desktop/Preview.h"
#include "reports/RaceExport.h"
#include "reports/RacePage.h"
#include "reports/ResultRows.h"
#include "reports/TReport.h"
#include "store/Error.h"
#include "store/SafeFile.h"
#include "timing/Clock.h"
#include "timing/Race.h"
#include "timing/Scoring.h"

#include <QDir>
#include <QPrinter>
#include <QPushButton>

namespace wm {

namespace {

void show(Preview& preview, const QString& title, const ReportLayout& layout) {
    preview.show(title, layout.pageLayout, [&layout](QPrinter& printer) { paintReport(layout, printer); });
}

} // namespace

ResultButtons::ResultButtons(const ResultButtonWidgets& widgets, Race& race, RacePage& page, TReport& report,
                             const Clock& clock, Prompts& prompts, Notifier& notifier, Preview& preview,
                             ProgramDir programDir, QObject* parent)
    : QObject(parent), m_widgets(widgets), m_race(race), m_page(page), m_report(report), m_clock(clock),
      m_prompts(prompts), m_notifier(notifier), m_preview(preview), m_programDir(std::move(programDir)) {
    connect(m_widgets.cmdReport, &QPushButton::clicked, this, &ResultButtons::cmdReportClick);
    connect(m_widgets.cmdReportPDF, &QPushButton::clicked, this, &ResultButtons::cmdReportPDFClick);
    connect(m_widgets.cmdCompList, &QPushButton::clicked, this, &ResultButtons::cmdCompListClick);
    if (m_widgets.cmdReportHTML) {
        connect(m_widgets.cmdReportHTML, &QPushButton::clicked, this, &ResultButtons::cmdReportHTMLClick);
    }
    if (m_widgets.cmdReportCSV) {
        connect(m_widgets.cmdReportCSV, &QPushButton::clicked, this, &ResultButtons::cmdReportCSVClick);
    }
}

QString ResultButtons::pdfPath() const {
    return reportPath(QStringLiteral(".pdf"));
}

QString ResultButtons::reportPath(const QString& extension) const {
    return ProgramDir::findEntry(m_programDir.root(), QStringLiteral("Reports")) + u'/' + m_race.name() + extension;
}

void ResultButtons::cmdReportClick() {
    guarded(m_prompts, [&] {
        ensureScored(m_race.table());
        const ReportData results = resultRows(m_race.table());
        m_report.setTitle(m_race.name());
        m_report.setPointsAsPlace(true);
        // The race-completion notice would otherwise cover the preview.
        m_notifier.clear();
        const ReportLayout layout = layoutReport(m_report.design(), results, m_clock.now());
        show(m_preview, m_race.name(), layout);
    });
}

void ResultButtons::cmdReportPDFClick() {
    guarded(m_prompts, [&] {
        m_page.ReportCaption = m_race.name();
        m_page.PointsAsPlace = true;
        m_widgets.cmdReport->setEnabled(false);
        ensureScored(m_race.table());
        const ReportData results = resultRows(m_race.table());
        m_page.ResetPrintables();
        const QString path = pdfPath();
        m_page.exportResults(results, path);
        m_notifier.notify(QStringLiteral("Wendemark"), QStringLiteral("Der Report der Wettfahrt '") + m_race.name() +
                                                           QStringLiteral("' wurde exportiert:\r\r") +
                                                           QDir::toNativeSeparators(path));
        m_widgets.cmdReportPDF->setEnabled(false);
        emit exported(path);
    });
}

void ResultButtons::cmdCompListClick() {
    guarded(m_prompts, [&] {
        // A copy: the shared design keeps its captions, place item and landscape paper.
        const ReportDesign list = m_report.participantList(m_race.name());
        const ReportLayout layout = layoutReport(list, listRows(m_race.list()), m_clock.now());
        show(m_preview, QStringLiteral("Teilnehmer: ") + m_race.name(), layout);
    });
}

void ResultButtons::exportAs(const QString& extension, const QString& kind,
                             const std::function<QByteArray(const ReportData&)>& contents) {
    guarded(m_prompts, [&] {
        ensureScored(m_race.table());
        const ReportData results = resultRows(m_race.table());
        if (results.rows.isEmpty()) {
            throw Error(QStringLiteral("Die Wettfahrt hat keine Teilnehmer, es gibt nichts zu exportieren."));
        }
        const QString path = reportPath(extension);
        writeWholeFile(path, contents(results));
        m_notifier.notify(QStringLiteral("Wendemark"),
                          QStringLiteral("Der Report der Wettfahrt '") + m_race.name() + QStringLiteral("' wurde ") +
                              kind + QStringLiteral(" exportiert:\r\r") + QDir::toNativeSeparators(path));
        emit exported(path);
    });
}

void ResultButtons::cmdReportHTMLClick() {
    exportAs(QStringLiteral(".html"), QStringLiteral("als Webseite"), [this](const ReportData& results) {
        return htmlPage(raceHtml(results, m_race.name(), m_clock.now(), true));
    });
}

void ResultButtons::cmdReportCSVClick() {
    exportAs(QStringLiteral(".csv"), QStringLiteral("als CSV-Datei"),
             [](const ReportData& results) { return raceCsv(results, true); });
}

} // namespace wm
