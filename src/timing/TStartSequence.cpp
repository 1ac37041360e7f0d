#include "timing/TStartSequence.h"

#include "timing/TimeMath.h"
#include "ui_TStartSequence.h"

namespace wm {

TStartSequence::TStartSequence(const StartSequence& sequence, int now, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TStartSequence>()) {
    m_ui->setupUi(this);
    for (const StartSequence& s : startSequences()) {
        m_ui->cboSequence->addItem(s.name);
    }
    m_ui->cboSequence->setCurrentText(sequence.name);
    m_ui->spnInterval->setValue(sequence.length());
    m_ui->tmeFirstStart->setTime(QTime(0, 0).addSecs(proposedFirstStart(now, sequence)));
    connect(m_ui->cboSequence, &QComboBox::currentIndexChanged, this, &TStartSequence::sequenceChanged);
    connect(m_ui->tmeFirstStart, &QTimeEdit::timeChanged, this, &TStartSequence::showPlan);
    connect(m_ui->spnInterval, &QSpinBox::valueChanged, this, &TStartSequence::showPlan);
    connect(m_ui->spnGroups, &QSpinBox::valueChanged, this, &TStartSequence::showPlan);
    connect(m_ui->cmdOK, &QPushButton::clicked, this, [this] {
        if (starts()) {
            accept();
        }
    });
    connect(m_ui->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    showPlan();
}

TStartSequence::~TStartSequence() = default;

StartSequence TStartSequence::sequence() const {
    return sequenceNamed(m_ui->cboSequence->currentText());
}

void TStartSequence::sequenceChanged() {
    // Each group's warning signal falls on the start before it.
    m_ui->spnInterval->setValue(sequence().length());
    showPlan();
}

std::optional<QList<int>> TStartSequence::starts() {
    QString error;
    const std::optional<QList<int>> planned =
        plannedStarts(QTime(0, 0).secsTo(m_ui->tmeFirstStart->time()), m_ui->spnInterval->value(),
                      m_ui->spnGroups->value(), sequence(), &error);
    m_ui->lblHinweis->setText(error);
    m_ui->lblPlan->setVisible(planned.has_value());
    return planned;
}

void TStartSequence::showPlan() {
    const std::optional<QList<int>> planned = starts();
    if (!planned) {
        return;
    }
    QStringList times;
    for (qsizetype g = 0; g < planned->size(); ++g) {
        times << QStringLiteral("Start %1: %2").arg(g + 1).arg(FormatTime(timeOfSecond(planned->at(g))));
    }
    m_ui->lblPlan->setText(times.join(QStringLiteral(", ")));
}

} // namespace wm
