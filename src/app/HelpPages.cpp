#include "app/HelpPages.h"

#include <QHash>
#include <QWidget>

namespace wm {

QString helpPageFor(const QString& windowName, Race::Mode mode) {
    if (windowName == QLatin1String("TMain")) {
        switch (mode) {
        case Race::Mode::NoRace:
            return QStringLiteral("boote.html");
        case Race::Mode::Start:
            return QStringLiteral("start.html");
        case Race::Mode::Finish:
            return QStringLiteral("zieleinlauf.html");
        case Race::Mode::Over:
            return QStringLiteral("nach-der-wettfahrt.html");
        }
    }
    static const QHash<QString, QString> pages = {
        {QStringLiteral("TRaceEdit"), QStringLiteral("nachbearbeiten.html")},
        {QStringLiteral("TSeriesManager"), QStringLiteral("serien.html")},
        {QStringLiteral("TSeriesRules"), QStringLiteral("serien.html#wertung")},
        {QStringLiteral("TStartSequence"), QStringLiteral("start.html#startfolge")},
        {QStringLiteral("TYardstickList"), QStringLiteral("yardstick-liste.html")},
        {QStringLiteral("TResultCheck"), QStringLiteral("nach-der-wettfahrt.html#pruefen")},
        {QStringLiteral("TImportPreview"), QStringLiteral("boote.html#importieren")},
        {QStringLiteral("TNewParticipant"), QStringLiteral("boote.html#neu")},
        {QStringLiteral("TAbout"), QStringLiteral("probleme.html")},
    };
    return pages.value(windowName, QStringLiteral("index.html"));
}

QString helpPageFor(const QWidget* window, Race::Mode mode) {
    return helpPageFor(window ? window->objectName() : QString(), mode);
}

} // namespace wm
