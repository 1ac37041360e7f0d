#pragma once

#include "app/Services.h"

#include <memory>

namespace wm {

class TMain;
class TNewParticipant;
class TRaceEdit;
class TReport;
class TReportS;
class TSeriesManager;

// The program's windows, created in their fixed order and living until the program ends.
class Wendemark {
public:
    explicit Wendemark(const Services& services);
    ~Wendemark();

    TMain& main() const { return *m_main; }
    TNewParticipant& newParticipant() const { return *m_newParticipant; }
    TRaceEdit& raceEdit() const { return *m_raceEdit; }
    TSeriesManager& seriesManager() const { return *m_seriesManager; }
    TReport& report() const { return *m_report; }
    TReportS& reportS() const { return *m_reportS; }

private:
    std::unique_ptr<TMain> m_main;
    std::unique_ptr<TNewParticipant> m_newParticipant;
    std::unique_ptr<TReport> m_report;
    std::unique_ptr<TRaceEdit> m_raceEdit;
    std::unique_ptr<TSeriesManager> m_seriesManager;
    std::unique_ptr<TReportS> m_reportS;
};

} // namespace wm
