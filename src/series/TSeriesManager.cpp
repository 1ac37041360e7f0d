#include "TSeriesManager.h"

namespace wm {

TSeriesManager::TSeriesManager(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TSeriesManager"));
    setWindowTitle(QStringLiteral("Regatta-Verwaltung"));
    resize(794, 664);
    setModal(true);
}

} // namespace wm
