#pragma once

#include "timing/StartSignals.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TStartSequence;
}

namespace wm {

// The start sequence of a race: which sequence, the first start, the minutes between starts and the number of
// start groups, with the start times it gives. "Übernehmen" accepts a plan that works; the dialog itself
// changes nothing.
class TStartSequence : public QDialog {
    Q_OBJECT
public:
    // `now` is the second of day the first start is proposed from.
    TStartSequence(const StartSequence& sequence, int now, QWidget* parent = nullptr);
    ~TStartSequence() override;

    StartSequence sequence() const;
    // The start times of the groups, or nothing with the reason shown in the dialog.
    std::optional<QList<int>> starts();

private:
    void sequenceChanged();
    void showPlan();

    std::unique_ptr<Ui::TStartSequence> m_ui;
};

} // namespace wm
