#pragma once

#include "desktop/Seams.h"

#include <QObject>

#include <functional>

class QLabel;
class QListWidget;
class QPushButton;
class QWidget;

namespace wm {

class Race;
class StartClock;

// The finish line when boats come in bunched: "Zeit nehmen" (and F5) takes the time first, "Zuordnen" gives it
// to the boat selected afterwards, as "ZIEL" would have at that moment; and, for the selected boat still
// racing, the latest time at which it still beats the leader.
class StampDesk : public QObject {
    Q_OBJECT
public:
    struct Widgets {
        QWidget* window = nullptr;          // the main window, where F5 works whatever has the focus
        QPushButton* stamp = nullptr;       // cmdStamp
        QListWidget* stamps = nullptr;      // lstStamps
        QPushButton* assign = nullptr;      // cmdAssign
        QPushButton* deleteStamp = nullptr; // cmdStampDelete
        QLabel* timeToWin = nullptr;        // lblZeitZumSieg
    };

    // `finished` runs after a stamp was assigned (the race may be over then).
    StampDesk(const Widgets& widgets, const Seams& seams, Race& race, StartClock& startClock,
              std::function<void()> finished, QObject* parent = nullptr);

    void cmdStampClick();
    void cmdAssignClick();
    void cmdStampDeleteClick();
    // The stamp list and the leader as the race file holds them (after a finish, an undo, a resume).
    void refresh();
    // Shows the controls while boats finish.
    void setFinishMode(bool on);

signals:
    void stampAssigned();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showTimeToWin();
    qint64 selectedStamp() const;

    const Widgets m_w;
    const Seams m_seams;
    Race& m_race;
    StartClock& m_startClock;
    std::function<void()> m_finished;
    QString m_leader; // the best corrected time so far
};

} // namespace wm
