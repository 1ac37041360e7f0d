#pragma once

#include <QDialog>
#include <QStringList>

#include <memory>

namespace Ui {
class TResultCheck;
}

namespace wm {

// What the check before publishing found in a race, one line each; "Trotzdem fortfahren" accepts, "Abbrechen"
// rejects.
class TResultCheck : public QDialog {
    Q_OBJECT
public:
    TResultCheck(const QString& raceName, const QStringList& lines, QWidget* parent = nullptr);
    ~TResultCheck() override;

private:
    std::unique_ptr<Ui::TResultCheck> m_ui;
};

// Shows the box only when there are findings; true when the action may go on (nothing found, or the user
// chose to go on anyway).
bool confirmResultCheck(const QString& raceName, const QStringList& lines, QWidget* parent);

} // namespace wm
