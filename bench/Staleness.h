#pragma once

// How long a label shows an outdated text: sampled against the text it should show at each millisecond.

#include <QDateTime>
#include <QLabel>
#include <QString>

#include <algorithm>
#include <array>
#include <deque>
#include <functional>
#include <map>
#include <vector>

namespace wm::bench {

// The time of day (a fraction of the day) of a moment in milliseconds since the epoch, in the local zone.
inline std::function<double(qint64)> localTimeOfDay() {
    constexpr qint64 kMsPerDay = 86'400'000;
    const qint64 offsetMs = qint64(QDateTime::currentDateTime().offsetFromUtc()) * 1000;
    return [offsetMs](qint64 epochMs) {
        return double(((epochMs + offsetMs) % kMsPerDay + kMsPerDay) % kMsPerDay) / double(kMsPerDay);
    };
}

enum Phase { Startup, Steady, Edits, kPhases };

struct Stats {
    std::vector<double> stale;                   // every sample that saw an outdated text
    std::map<qint64, double> worstPerTransition; // keyed by the moment the true text changed
};

// Follows the text a label should show and, whenever it shows something else, since when that has been so.
class StalenessProbe {
public:
    StalenessProbe(const QLabel* label, std::function<QString(qint64)> truth)
        : StalenessProbe([label] { return label->text(); }, std::move(truth)) {}
    // `shown`: what the label shows, where that is more than its text.
    StalenessProbe(std::function<QString()> shown, std::function<QString(qint64)> truth)
        : m_shown(std::move(shown)), m_truth(std::move(truth)) {}

    // nowUs: microseconds since the epoch; the texts follow a millisecond clock.
    void sample(qint64 nowUs, Phase phase) {
        const qint64 now = nowUs / 1000;
        const QString truth = m_truth(now);
        if (m_history.empty()) {
            m_history.push_back({truth, now});
        } else if (truth != m_history.back().text) {
            // The change happened between two samples; find its millisecond.
            qint64 since = now;
            for (qint64 t = m_last + 1; t < now; ++t) {
                if (m_truth(t) != m_history.back().text) {
                    since = t;
                    break;
                }
            }
            m_history.push_back({truth, since});
            stats[phase].worstPerTransition.emplace(since, 0.0);
            while (m_history.size() > 32) {
                m_history.pop_front();
            }
        }
        m_last = now;
        const QString shown = m_shown();
        if (shown == truth) {
            return;
        }
        qint64 outdatedSince = m_history.front().since;
        for (size_t i = m_history.size() - 1; i > 0; --i) {
            if (m_history[i - 1].text == shown) {
                outdatedSince = m_history[i].since;
                break;
            }
        }
        const double staleness = double(nowUs - outdatedSince * 1000) / 1000.0;
        stats[phase].stale.push_back(staleness);
        double& w = stats[phase].worstPerTransition[outdatedSince];
        w = std::max(w, staleness);
    }

    std::array<Stats, kPhases> stats;

private:
    struct Period {
        QString text;
        qint64 since;
    };
    std::function<QString()> m_shown;
    std::function<QString(qint64)> m_truth;
    std::deque<Period> m_history;
    qint64 m_last = 0;
};

inline std::vector<double> worsts(const std::vector<const StalenessProbe*>& probes, Phase phase) {
    std::vector<double> result;
    for (const StalenessProbe* p : probes) {
        for (const auto& [since, w] : p->stats[phase].worstPerTransition) {
            result.push_back(w);
        }
    }
    return result;
}

inline std::vector<double> samples(const std::vector<const StalenessProbe*>& probes, Phase phase) {
    std::vector<double> result;
    for (const StalenessProbe* p : probes) {
        result.insert(result.end(), p->stats[phase].stale.begin(), p->stats[phase].stale.end());
    }
    return result;
}

} // namespace wm::bench
