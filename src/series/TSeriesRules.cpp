#include "series/TSeriesRules.h"

#include "ui_TSeriesRules.h"

#include <QSpinBox>

namespace wm {

std::optional<QList<std::pair<int, int>>> discardSteps(const QList<std::pair<int, int>>& rows) {
    QList<std::pair<int, int>> used;
    for (const auto& row : rows) {
        if (row.first > 0) {
            used << row;
        }
    }
    return parseDiscardSteps(discardStepsText(used));
}

TSeriesRules::TSeriesRules(const SeriesRules& rules, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TSeriesRules>()) {
    m_ui->setupUi(this);
    const bool appendixA = rules.kind == SeriesRules::Kind::AppendixA;
    m_ui->cboRegel->setCurrentIndex(appendixA ? 1 : 0);
    QSpinBox* from[kSteps] = {m_ui->spnAb1, m_ui->spnAb2, m_ui->spnAb3};
    QSpinBox* count[kSteps] = {m_ui->spnAnz1, m_ui->spnAnz2, m_ui->spnAnz3};
    for (qsizetype i = 0; i < std::min<qsizetype>(kSteps, rules.discards.size()); ++i) {
        from[i]->setValue(rules.discards[i].first);
        count[i]->setValue(rules.discards[i].second);
    }
    if (rules.best > 0) {
        m_ui->optBeste->setChecked(true);
        m_ui->spnBeste->setValue(rules.best);
    } else if (!rules.discards.isEmpty()) {
        m_ui->optStufen->setChecked(true);
    }
    connect(m_ui->cboRegel, &QComboBox::currentIndexChanged, this, &TSeriesRules::enableControls);
    for (QRadioButton* option : {m_ui->optKeine, m_ui->optStufen, m_ui->optBeste}) {
        connect(option, &QRadioButton::toggled, this, &TSeriesRules::enableControls);
    }
    connect(m_ui->cmdOK, &QPushButton::clicked, this, &TSeriesRules::cmdOKClick);
    connect(m_ui->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    enableControls();
}

TSeriesRules::~TSeriesRules() = default;

void TSeriesRules::enableControls() {
    m_ui->grpStreicher->setEnabled(m_ui->cboRegel->currentIndex() == 1);
    const bool steps = m_ui->optStufen->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(m_ui->spnAb1), static_cast<QWidget*>(m_ui->spnAnz1),
                       static_cast<QWidget*>(m_ui->spnAb2), static_cast<QWidget*>(m_ui->spnAnz2),
                       static_cast<QWidget*>(m_ui->spnAb3), static_cast<QWidget*>(m_ui->spnAnz3)}) {
        w->setEnabled(steps);
    }
    m_ui->spnBeste->setEnabled(m_ui->optBeste->isChecked());
    m_ui->lblHinweis->clear();
}

std::optional<SeriesRules> TSeriesRules::rules() {
    SeriesRules rules;
    if (m_ui->cboRegel->currentIndex() == 0) {
        return rules;
    }
    rules.kind = SeriesRules::Kind::AppendixA;
    if (m_ui->optBeste->isChecked()) {
        rules.best = m_ui->spnBeste->value();
    } else if (m_ui->optStufen->isChecked()) {
        const std::optional<QList<std::pair<int, int>>> steps =
            discardSteps({{m_ui->spnAb1->value(), m_ui->spnAnz1->value()},
                          {m_ui->spnAb2->value(), m_ui->spnAnz2->value()},
                          {m_ui->spnAb3->value(), m_ui->spnAnz3->value()}});
        if (!steps) {
            m_ui->lblHinweis->setText(
                QStringLiteral("Jede Stufe braucht weniger Streicher als Wettfahrten; die Stufen steigen von oben "
                               "nach unten mit der Zahl der Wettfahrten."));
            return std::nullopt;
        }
        rules.discards = *steps;
    }
    return rules;
}

void TSeriesRules::cmdOKClick() {
    if (rules()) {
        accept();
    }
}

} // namespace wm
