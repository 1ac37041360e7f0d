#include "app/ResultButtons.h"

#include "desktop/ActionGuard.h"
#include "desktop/Notifier.h"
#include "desktop/Preview.h"
#include "desktop/TResultCheck.h"
#include "reports/RaceExport.h"
#include "reports/ResultPage.h"
#include "reports/ResultRows.h"
#include "reports/TReport.h"
#include "store/Clock.h"
#include "timing/Race.h"
#include "timing/ResultCheck.h"
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

ResultButtons::ResultButtons(const ResultButtonWidgets& widgets, Race& race, const Seams& seams, QObject* parent)
    : QObject(parent), m_widgets(widgets), m_race(race), m_seams(seams) {
    connect(m_widgets.cmdReport, &QPushButton::clicked, this, &ResultButtons::cmdReportClick);
    connect(m_widgets.cmdReportPDF, &QPushButton::clicked, this, &ResultButtons::cmdReportPDFClick);
    connect(m_widgets.cmdCompList, &QPushButton::clicked, this, &ResultButtons::cmdCompListClick);
    if (m_widgets.cmdCheck) {
        connect(m_widgets.cmdCheck, &QPushButton::clicked, this, &ResultButtons::cmdCheckClick);
    }
}

QString ResultButtons::pdfPath() const {
    return ProgramDir::findEntry(m_seams.programDir.root(), QStringLiteral("Reports")) + u'/' + m_race.name() +
           QStringLiteral(".pdf");
}

Result ResultButtons::raceResultNow() const {
    Result result = raceResult(m_race.table(), m_race.name(), {}, {field::Punkte}, true);
    result.rules = raceRulesOf(m_race.infoPath());
    return result;
}

QStringList ResultButtons::checkNow() const {
    return checkRace(m_race.table(), m_race.infoPath(), m_unassignedStamps ? m_unassignedStamps() : QStringList());
}

bool ResultButtons::checkedBeforePublishing() {
    const QString race = m_race.table().path();
    if (m_checked.contains(race)) {
        return true;
    }
    if (!confirmResultCheck(m_race.name(), checkNow(), m_widgets.cmdReport->window())) {
        return false;
    }
    m_checked.insert(race);
    return true;
}

void ResultButtons::setMode(Race::Mode mode) {
    if (m_widgets.cmdCheck) {
        m_widgets.cmdCheck->setVisible(mode == Race::Mode::Over);
    }
}

void ResultButtons::cmdCheckClick() {
    guarded(m_seams.prompts, [&] {
        const QStringList lines = checkNow();
        if (lines.isEmpty()) {
            m_seams.prompts.message(QStringLiteral("Keine Auffälligkeiten gefunden."));
            return;
        }
        confirmResultCheck(m_race.name(), lines, m_widgets.cmdCheck->window());
    });
}

void ResultButtons::cmdReportClick() {
    guarded(m_seams.prompts, [&] {
        if (!checkedBeforePublishing()) {
            return;
        }
        ensureScored(m_race.table());
        const Result result = raceResultNow();
        // The race-completion notice would otherwise cover the preview.
        m_seams.notifier.clear();
        show(m_seams.preview, m_race.name(), TReport::layout(result, m_seams.clock.now()));
    });
}

void ResultButtons::cmdReportPDFClick() {
    guarded(m_seams.prompts, [&] {
        if (!checkedBeforePublishing()) {
            return;
        }
        m_widgets.cmdReport->setEnabled(false);
        ensureScored(m_race.table());
        const Result result = raceResultNow();
        const QString path = pdfPath();
        writeResultFiles(raceFiles(result, m_seams.clock), path);
        m_seams.notifier.notify(QStringLiteral("Wendemark"),
                                QStringLiteral("Der Report der Wettfahrt '") + m_race.name() +
                                    QStringLiteral("' wurde exportiert:\r\r") + QDir::toNativeSeparators(path));
        m_widgets.cmdReportPDF->setEnabled(false);
        emit exported(path);
    });
}

void ResultButtons::cmdCompListClick() {
    guarded(m_seams.prompts, [&] {
        const ReportLayout layout =
            layoutReport(TReport::participantList(m_race.name()), listRows(m_race.list()), m_seams.clock.now());
        show(m_seams.preview, QStringLiteral("Teilnehmer: ") + m_race.name(), layout);
    });
}

} // namespace wm
