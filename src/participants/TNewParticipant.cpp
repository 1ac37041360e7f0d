#include "participants/TNewParticipant.h"

#include "desktop/ActionGuard.h"
#include "desktop/WidgetScaling.h"
#include "participants/ParticipantRegister.h"
#include "ui_TNewParticipant.h"

#include <QRegularExpressionValidator>

namespace wm {

TNewParticipant::TNewParticipant(ParticipantRegister& participants, Prompts& prompts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint),
      m_ui(std::make_unique<Ui::TNewParticipant>()), m_participants(participants), m_prompts(prompts) {
    m_ui->setupUi(this);
    applyPixelFonts(this);
    setFixedSize(size());
    setModal(true);
    m_ui->DBEdit5->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[+-]?[0-9]*([.,][0-9]*)?")), this));
    connect(m_ui->Button1, &QPushButton::clicked, this, &TNewParticipant::Button1Click);
    connect(m_ui->Button2, &QPushButton::clicked, this, &TNewParticipant::Button2Click);
}

TNewParticipant::~TNewParticipant() = default;

void TNewParticipant::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TNewParticipant::FormActivate() {
    for (QLineEdit* e : {m_ui->DBEdit1, m_ui->DBEdit2, m_ui->DBEdit3, m_ui->DBEdit4, m_ui->DBEdit5, m_ui->DBEdit6}) {
        e->clear();
    }
    m_ui->DBEdit1->setFocus();
}

void TNewParticipant::Button1Click() {
    guarded(m_prompts, [&] {
        const QString startText = m_ui->DBEdit6->text();
        bool ok = false;
        const int start = startText.trimmed().toInt(&ok);
        if (!ok) {
            throw Error(QStringLiteral("'%1' ist kein gültiger ganzzahliger Wert").arg(startText));
        }
        if (start < 1 || start > 5) {
            return;
        }
        m_participants.table().insert({{field::SEGELNR, m_ui->DBEdit1->text()},
                                       {field::BOOTSNAME, m_ui->DBEdit2->text()},
                                       {field::NAME, m_ui->DBEdit3->text()},
                                       {field::TYP, m_ui->DBEdit4->text()},
                                       {field::YS, m_ui->DBEdit5->text()},
                                       {field::START, start},
                                       {field::STATUS, QStringLiteral("0")}});
        const QString search = m_ui->DBEdit1->text().isEmpty() ? m_ui->DBEdit2->text() : m_ui->DBEdit1->text();
        accept();
        if (m_setSearchText) {
            m_setSearchText(search);
        }
    });
}

void TNewParticipant::Button2Click() {
    reject();
}

} // namespace wm
