#include "desktop/ActionGuard.h"
#include "desktop/ClassReportPanel.h"
#include "desktop/GridBinding.h"
#include "desktop/Notifier.h"
#include "desktop/Preview.h"
#include "raceedit/StoredRaces.h"
#include "raceedit/TRaceEdit.h"
#include "reports/RaceExport.h"
#include "reports/ResultPage.h"
#include "reports/TReport.h"
#include "store/Clock.h"
#include "store/Error.h"
#include "timing/RaceFiles.h"
#include "timing/Scoring.h"
#include "ui_TRaceEdit.h"

#include <QDir>
#include <QPrinter>

// The reports of the race browser: the whole race printed, a class printed or as PDF, the overall ranking as
// PDF. Every PDF is written together with its web page and CSV file.

namespace wm {

QString TRaceEdit::reportsDir() const {
    return ProgramDir::findEntry(m_seams.programDir.root(), QStringLiteral("Reports"));
}

Result TRaceEdit::selectResult(const QString& caption, const Filter& filter, const QStringList& order,
                               bool pointsAsPlace, const QString& emptyMessage) {
    requireRace();
    commitPendingEdit(m_ui->DBGrid1);
    ensureScored(m_table);
    Result result = raceResult(m_table, caption, filter, order, pointsAsPlace);
    result.rules = raceRulesOf(RaceFiles(m_seams.programDir.dataDir(), m_raceName).infoPath());
    if (result.rows.rows.isEmpty()) {
        throw Error(emptyMessage);
    }
    return result;
}

Result TRaceEdit::PrepareReport(bool range, const QString& caption) {
    if (range) {
        const QString low = m_reports->low();
        const QString high = m_reports->high();
        return selectResult(caption, yardstickFilter(low, high), {field::Punkte}, false,
                            QStringLiteral("Die Wettfahrt '%1' hat kein Boot mit einem Yardstick von %2 bis %3.")
                                .arg(m_raceName, low, high));
    }
    const QString type = m_reports->type();
    return selectResult(caption, typeFilter(type), {field::Punkte}, false,
                        QStringLiteral("Die Wettfahrt '%1' hat kein Boot vom Typ '%2'.").arg(m_raceName, type));
}

void TRaceEdit::previewReport(const Result& result) {
    m_seams.notifier.clear();
    const ReportLayout layout = TReport::layout(result, m_seams.clock.now());
    m_seams.preview.show(result.caption, layout.pageLayout,
                         [&layout](QPrinter& printer) { paintReport(layout, printer); });
}

void TRaceEdit::exportClass(const Result& result, const QString& fileName) {
    const QString dir = reportsDir();
    writeResultFiles(raceFiles(result, m_seams.clock), dir + u'/' + fileName);
    m_seams.notifier.notify(kAppCaption, QStringLiteral("Der Report ") + result.caption +
                                             QStringLiteral(" wurde exportiert (PDF)\r\rnach: ") +
                                             QDir::toNativeSeparators(dir));
}

void TRaceEdit::Label8Click() {
    guarded(m_seams.prompts, [&] {
        previewReport(selectResult(m_raceName, {}, {field::Punkte}, true,
                                   QStringLiteral("Die Wettfahrt '%1' hat keine Einträge.").arg(m_raceName)));
    });
}

void TRaceEdit::Label13Click() {
    guarded(m_seams.prompts, [&] { previewReport(PrepareReport(false, typeTitle(m_raceName, m_reports->type()))); });
}

void TRaceEdit::Label14Click() {
    guarded(m_seams.prompts,
            [&] { previewReport(PrepareReport(true, rangeTitle(m_raceName, m_reports->low(), m_reports->high()))); });
}

void TRaceEdit::Label15Click() {
    guarded(m_seams.prompts, [&] {
        const QString type = m_reports->type();
        exportClass(PrepareReport(false, typeTitle(m_raceName, type)), typePdfName(m_raceName, type));
    });
}

void TRaceEdit::Label16Click() {
    guarded(m_seams.prompts, [&] {
        const QString low = m_reports->low();
        const QString high = m_reports->high();
        exportClass(PrepareReport(true, rangeCaption(m_raceName, low, high)), rangePdfName(m_raceName, low, high));
    });
}

void TRaceEdit::Label17Click() {
    guarded(m_seams.prompts, [&] {
        // The overall ranking by corrected time, placed by running numbers.
        const Result result = selectResult(m_raceName, {}, {field::BZEIT}, false,
                                           QStringLiteral("Die Wettfahrt '%1' hat keine Einträge.").arg(m_raceName));
        const QString path = reportsDir() + u'/' + m_raceName + QStringLiteral(".pdf");
        writeResultFiles(raceFiles(result, m_seams.clock), path);
        m_seams.notifier.notify(kAppCaption, QStringLiteral("Der Report der Wettfahrt '") + m_raceName +
                                                 QStringLiteral("' wurde exportiert:\r\r") +
                                                 QDir::toNativeSeparators(path));
    });
}

} // namespace wm
