#pragma once

#include "app/Services.h"
#include "participants/ParticipantRegister.h"
#include "store/Log.h"
#include "timing/Race.h"

#include <memory>

namespace wm {

class Help;
class TMain;
class TNewParticipant;
class TRaceEdit;
class TSeriesManager;

// The race office as the program shows it: the participant register and the race in progress, and the
// windows that work on them, created in their fixed order and living until the program ends.
class RaceOffice {
public:
    explicit RaceOffice(const Services& services);
    ~RaceOffice();
    RaceOffice(const RaceOffice&) = delete;
    RaceOffice& operator=(const RaceOffice&) = delete;

    ParticipantRegister& participants() { return m_participants; }
    Race& race() { return m_race; }

    TMain& main() const { return *m_main; }
    TNewParticipant& newParticipant() const { return *m_newParticipant; }
    TRaceEdit& raceEdit() const { return *m_raceEdit; }
    TSeriesManager& seriesManager() const { return *m_seriesManager; }

private:
    // First of all, so that every error box and failure from start-up to the end goes into its program folder.
    LogFile m_log;
    // Declared before the windows, so they outlive every window that uses them.
    ParticipantRegister m_participants;
    Race m_race;
    std::unique_ptr<TMain> m_main;
    std::unique_ptr<TNewParticipant> m_newParticipant;
    std::unique_ptr<TRaceEdit> m_raceEdit;
    std::unique_ptr<TSeriesManager> m_seriesManager;
    std::unique_ptr<Help> m_help; // F1 in every window
};

} // namespace wm
