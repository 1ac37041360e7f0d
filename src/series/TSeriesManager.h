#pragma once

#include <QDialog>

namespace wm {

// Regatta series: scored races summed into an overall ranking.
class TSeriesManager : public QDialog {
    Q_OBJECT
public:
    explicit TSeriesManager(QWidget* parent = nullptr);
};

} // namespace wm
