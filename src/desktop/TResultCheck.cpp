#include "desktop/TResultCheck.h"

#include "desktop/WidgetScaling.h"
#include "ui_TResultCheck.h"

namespace wm {

TResultCheck::TResultCheck(const QString& raceName, const QStringList& lines, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TResultCheck>()) {
    m_ui->setupUi(this);
    applyPixelFonts(this);
    m_ui->lblCheck->setText(
        QStringLiteral("Bitte prüfen Sie die Wettfahrt '%1' vor dem Veröffentlichen:").arg(raceName));
    m_ui->lstCheck->addItems(lines);
    connect(m_ui->cmdContinue, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    // Enter must not publish by accident.
    m_ui->cmdCancel->setFocus();
}

TResultCheck::~TResultCheck() = default;

bool confirmResultCheck(const QString& raceName, const QStringList& lines, QWidget* parent) {
    if (lines.isEmpty()) {
        return true;
    }
    TResultCheck box(raceName, lines, parent);
    return box.exec() == QDialog::Accepted;
}

} // namespace wm
