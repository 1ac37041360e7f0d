#pragma once

#include <QDialog>

namespace wm {

// Stored races: browse, correct times, re-score, delete, report by class.
class TRaceEdit : public QDialog {
    Q_OBJECT
public:
    explicit TRaceEdit(QWidget* parent = nullptr);
};

} // namespace wm
