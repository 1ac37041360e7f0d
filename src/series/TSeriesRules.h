#pragma once

#include "series/SeriesRules.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TSeriesRules;
}

namespace wm {

// The scoring rules of one series: the sum, or Appendix A with discards by steps or only the best N races.
// "Übernehmen" accepts rules that can be stored; the dialog itself writes nothing.
class TSeriesRules : public QDialog {
    Q_OBJECT
public:
    static constexpr int kSteps = 3;

    explicit TSeriesRules(const SeriesRules& rules, QWidget* parent = nullptr);
    ~TSeriesRules() override;

    // The rules as the form shows them, or nothing with the reason shown in the form.
    std::optional<SeriesRules> rules();

private:
    void enableControls();
    void cmdOKClick();

    std::unique_ptr<Ui::TSeriesRules> m_ui;
};

// The discard steps of the form's rows, "ab <from> Wettfahrten <count> Streicher"; a row with no races is
// unused. Nothing when they do not rise as stored steps must (parseDiscardSteps).
std::optional<QList<std::pair<int, int>>> discardSteps(const QList<std::pair<int, int>>& rows);

} // namespace wm
