#include "app/RaceOffice.h"

#include "app/HelpPages.h"
#include "app/TMain.h"
#include "desktop/Help.h"
#include "participants/RegisterPanel.h"
#include "participants/TNewParticipant.h"
#include "raceedit/TRaceEdit.h"
#include "series/TSeriesManager.h"

#include <QGuiApplication>

namespace wm {

RaceOffice::RaceOffice(const Services& services) : m_log(services.programDir.root()) {
    QGuiApplication::setApplicationDisplayName(QString());
    QCoreApplication::setApplicationName(QStringLiteral("Wendemark"));
    m_main = std::make_unique<TMain>(services, TMain::Shared{m_participants, m_race});
    m_newParticipant = std::make_unique<TNewParticipant>(m_participants, *services.prompts, m_main.get());
    m_raceEdit = std::make_unique<TRaceEdit>(m_race, m_main->seams(), m_main.get());
    m_seriesManager = std::make_unique<TSeriesManager>(m_race, m_main->seams(), m_main.get());

    RegisterPanel& reg = m_main->registerPanel();
    m_newParticipant->setSearchTextSink([&reg](const QString& text) { reg.setSearchText(text); });
    QObject::connect(&reg, &RegisterPanel::newParticipantRequested, m_newParticipant.get(), &QDialog::exec);
    QObject::connect(m_main.get(), &TMain::raceEditRequested, m_raceEdit.get(), &QDialog::exec);
    QObject::connect(m_main.get(), &TMain::seriesRequested, m_seriesManager.get(), &QDialog::exec);

    m_help = std::make_unique<Help>(services.programDir.root() + QStringLiteral("/Hilfe"), services.openUrl,
                                    [this](const QWidget* window) { return helpPageFor(window, m_race.mode()); });
}

RaceOffice::~RaceOffice() {
    // The shutdown step runs before any window or table goes away.
    m_main->FormDestroy();
    m_help.reset();
    m_seriesManager.reset();
    m_raceEdit.reset();
    m_newParticipant.reset();
    m_main.reset();
}

} // namespace wm
