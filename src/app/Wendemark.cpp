#include "app/Wendemark.h"

#include "app/TMain.h"
#include "participants/TNewParticipant.h"
#include "raceedit/TRaceEdit.h"
#include "reports/TReport.h"
#include "series/TReportS.h"
#include "series/TSeriesManager.h"

#include <QGuiApplication>

namespace wm {

Wendemark::Wendemark(const Services& services) {
    QGuiApplication::setApplicationDisplayName(QString());
    QCoreApplication::setApplicationName(QStringLiteral("Wendemark"));
    m_main = std::make_unique<TMain>(services);
    m_newParticipant = std::make_unique<TNewParticipant>(m_main->participants(), *services.prompts, m_main.get());
    m_report = std::make_unique<TReport>();
    m_raceEdit = std::make_unique<TRaceEdit>(m_main.get());
    m_seriesManager = std::make_unique<TSeriesManager>(m_main.get());
    m_reportS = std::make_unique<TReportS>();
    m_main->setWindows(m_newParticipant.get(), m_raceEdit.get(), m_seriesManager.get());
}

Wendemark::~Wendemark() {
    // The shutdown step runs before any window or table goes away.
    m_main->FormDestroy();
    m_reportS.reset();
    m_seriesManager.reset();
    m_raceEdit.reset();
    m_report.reset();
    m_newParticipant.reset();
    m_main.reset();
}

} // namespace wm
