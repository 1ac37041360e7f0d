#include "timing/SignalDesk.h"

#include "desktop/ActionGuard.h"
#include "desktop/Prompts.h"
#include "desktop/SignalSound.h"
#include "store/Clock.h"
#include "store/Error.h"
#include "store/IniFile.h"
#include "timing/StartClock.h"
#include "timing/TStartSequence.h"
#include "timing/TimeMath.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace wm {

namespace {

const QString kSection = QStringLiteral("Signale");
const QString kSequenceKey = QStringLiteral("Folge");
const QString kCuesKey = QStringLiteral("Ein");

const QString kFinishModeMessage =
    QStringLiteral("Die Boote sind im Zieleinlauf: die Startzeiten werden hier nicht mehr geändert.\n"
                   "Eine falsche Startzeit wird in der Wettfahrt-Nachbearbeitung korrigiert.");

} // namespace

SignalDesk::SignalDesk(const Clock& clock, Prompts& prompts, SignalSound& sound, StartClock& startClock,
                       const Widgets& widgets, std::function<bool()> finishMode, QObject* parent)
    : QObject(parent), m_clock(clock), m_prompts(prompts), m_sound(sound), m_startClock(startClock), m_w(widgets),
      m_finishMode(std::move(finishMode)),
      m_linePixels(std::max(kSmallestLinePixels, widgets.nextSignal->font().pixelSize())) {
    connect(m_w.sequence, &QPushButton::clicked, this, &SignalDesk::cmdStartfolgeClick);
    connect(m_w.recall, &QPushButton::clicked, this, &SignalDesk::cmdRueckrufClick);
    connect(m_w.postpone, &QPushButton::clicked, this, &SignalDesk::cmdVerschiebenClick);
    connect(m_w.cues, &QCheckBox::clicked, this, &SignalDesk::chkSignaleClick);
    connect(&m_startClock, &StartClock::refreshed, this, &SignalDesk::refresh);
    refresh();
}

int SignalDesk::now() const {
    return clockSecond(m_clock.timeOfDay());
}

void SignalDesk::refresh() {
    if (!m_w.cues->isChecked()) {
        showLine({});
        return;
    }
    const double time = m_clock.timeOfDay();
    const int second = clockSecond(time);
    const QList<StartSignal> schedule = signalSchedule(m_startClock.activeStarts(), m_sequence);
    const QString line = cueLine(nextCue(schedule, second), time);
    if (m_w.nextSignal->toolTip() != line) {
        showLine(line);
    }
    if (second == m_sounded) {
        return;
    }
    m_sounded = second;
    switch (soundAt(schedule, second)) {
    case Sound::Beep:
        m_sound.beep();
        break;
    case Sound::Tone:
        m_sound.tone();
        break;
    case Sound::None:
        break;
    }
}

void SignalDesk::showLine(const QString& line) {
    // The line has the width of the clocks: a long cue takes a smaller type, down to a limit, and is cut only
    // beyond it; the tooltip always holds all of it.
    QFont font = m_w.nextSignal->font();
    const int width = m_w.nextSignal->width();
    int pixels = m_linePixels;
    font.setPixelSize(pixels);
    while (pixels > kSmallestLinePixels && QFontMetrics(font).horizontalAdvance(line) > width) {
        font.setPixelSize(--pixels);
    }
    m_w.nextSignal->setFont(font);
    m_w.nextSignal->setText(QFontMetrics(font).elidedText(line, Qt::ElideRight, width));
    m_w.nextSignal->setToolTip(line);
}

bool SignalDesk::refusedInFinishMode() {
    if (m_finishMode && m_finishMode()) {
        m_prompts.message(kFinishModeMessage);
        return true;
    }
    return false;
}

bool SignalDesk::apply(const QList<std::pair<int, int>>& starts) {
    for (const auto& [start, second] : starts) {
        if (!m_startClock.setStartTime(start, timeOfSecond(second))) {
            return false;
        }
    }
    m_sounded = -1;
    refresh();
    return true;
}

void SignalDesk::cmdStartfolgeClick() {
    if (refusedInFinishMode()) {
        return;
    }
    TStartSequence dialog(m_sequence, now(), m_w.window);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const std::optional<QList<int>> starts = dialog.starts();
    if (!starts) {
        return;
    }
    m_sequence = dialog.sequence();
    remember();
    QList<std::pair<int, int>> planned;
    for (int n = 1; n <= StartClock::kStarts; ++n) {
        m_startClock.setActive(n, n <= starts->size());
        if (n <= starts->size()) {
            planned.append({n, starts->at(n - 1)});
        }
    }
    apply(planned);
}

void SignalDesk::cmdRueckrufClick() {
    if (refusedInFinishMode()) {
        return;
    }
    const QList<std::pair<int, int>> starts = m_startClock.activeStarts();
    const QList<int> candidates = recallCandidates(starts, now());
    if (candidates.isEmpty()) {
        m_prompts.message(QStringLiteral("Kein Start ist in den letzten zehn Minuten gestartet oder startet in der "
                                         "nächsten Minute: es gibt keinen Start zurückzurufen."));
        return;
    }
    int recalled = candidates.first();
    if (candidates.size() > 1) {
        QStringList names;
        for (const int n : candidates) {
            names << QString::number(n);
        }
        const std::optional<QString> answer = m_prompts.inputText(
            QStringLiteral("Allgemeiner Rückruf"),
            QStringLiteral("Welcher Start wird zurückgerufen? (Start %1)").arg(names.join(QStringLiteral(", "))),
            QString::number(recalled));
        if (!answer) {
            return;
        }
        bool ok = false;
        recalled = answer->trimmed().toInt(&ok);
        if (!ok || !candidates.contains(recalled)) {
            m_prompts.message(QStringLiteral("'%1' ist keiner der Starts %2.").arg(*answer, names.join(u'/')));
            return;
        }
    }
    const QList<std::pair<int, int>> moved = recallStart(starts, recalled, intervalOf(starts, m_sequence));
    int second = 0;
    for (const auto& [start, at] : moved) {
        second = start == recalled ? at : second;
    }
    if (second >= kSecondsPerDay) {
        m_prompts.message(QStringLiteral("Start %1 läge nach dem Rückruf nach Mitternacht; die Startzeiten bleiben "
                                         "unverändert.")
                              .arg(recalled));
        return;
    }
    if (!m_prompts.ask(QStringLiteral("Allgemeiner Rückruf"),
                       QStringLiteral("Allgemeiner Rückruf für Start %1: er startet neu um %2, nach allen anderen "
                                      "Starts. Die übrigen Startzeiten bleiben.")
                           .arg(recalled)
                           .arg(FormatTime(timeOfSecond(second))))) {
        return;
    }
    apply({{recalled, second}});
}

void SignalDesk::cmdVerschiebenClick() {
    if (refusedInFinishMode()) {
        return;
    }
    const int current = now();
    const QList<std::pair<int, int>> starts = m_startClock.activeStarts();
    QList<std::pair<int, int>> toCome;
    for (const auto& s : starts) {
        if (s.second >= current) {
            toCome << s;
        }
    }
    if (toCome.isEmpty()) {
        m_prompts.message(QStringLiteral("Alle Starts sind schon gestartet; es gibt nichts zu verschieben."));
        return;
    }
    const std::optional<QString> answer = m_prompts.inputText(
        QStringLiteral("Startverschiebung"),
        QStringLiteral("Um wie viele Minuten werden alle Starts verschoben, die noch bevorstehen? (negativ: früher)"),
        QStringLiteral("5"));
    if (!answer) {
        return;
    }
    bool ok = false;
    const int minutes = answer->trimmed().toInt(&ok);
    if (!ok) {
        m_prompts.message(QStringLiteral("'%1' ist keine ganze Zahl von Minuten.").arg(*answer));
        return;
    }
    const QList<std::pair<int, int>> moved = postponeStarts(toCome, current, minutes);
    for (const auto& [start, second] : moved) {
        if (second < current || second >= kSecondsPerDay) {
            m_prompts.message(QStringLiteral("Start %1 läge dann %2; die Startzeiten bleiben unverändert.")
                                  .arg(start)
                                  .arg(second < current ? QStringLiteral("in der Vergangenheit")
                                                        : QStringLiteral("nach Mitternacht")));
            return;
        }
    }
    apply(moved);
}

void SignalDesk::chkSignaleClick() {
    m_sounded = now(); // no sound for the second that has already begun
    remember();
    refresh();
}

void SignalDesk::load(const IniFile& prefs) {
    m_prefsPath = prefs.path();
    m_sequence = sequenceNamed(prefs.readString(kSection, kSequenceKey, m_sequence.name));
    m_w.cues->setChecked(prefs.readBool(kSection, kCuesKey, false));
    refresh();
}

void SignalDesk::save(IniFile& prefs) const {
    prefs.writeString(kSection, kSequenceKey, m_sequence.name);
    prefs.writeBool(kSection, kCuesKey, m_w.cues->isChecked());
}

void SignalDesk::remember() {
    // Kept at once in a section of its own, so that a crash does not forget the sequence being sailed.
    if (m_prefsPath.isEmpty()) {
        return;
    }
    guarded(m_prompts, [&] {
        IniFile prefs(m_prefsPath);
        save(prefs);
        prefs.save();
    });
}

} // namespace wm
