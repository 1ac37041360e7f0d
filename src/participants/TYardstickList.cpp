#include "participants/TYardstickList.h"

#include "desktop/ActionGuard.h"
#include "desktop/Prompts.h"
#include "store/Clock.h"
#include "store/Error.h"
#include "store/Fields.h"
#include "store/Table.h"
#include "ui_TYardstickList.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>

namespace wm {

TYardstickList::TYardstickList(const Seams& seams, Table& participants, const QString& database, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TYardstickList>()), m_seams(seams), m_participants(participants),
      m_database(database) {
    m_ui->setupUi(this);
    QTableWidget* grid = m_ui->DBGrid1;
    grid->setColumnCount(kColumns);
    grid->setHorizontalHeaderLabels({QStringLiteral("Segelnr."), QStringLiteral("Bootsname"), QStringLiteral("Typ"),
                                     QStringLiteral("YS jetzt"), QStringLiteral("YS Liste"),
                                     QStringLiteral("Übernehmen"), QStringLiteral("Hinweis")});
    for (const auto& [column, width] :
         {std::pair{Sail, 78}, {Boat, 150}, {Type, 118}, {Now, 64}, {Listed, 64}, std::pair{Tick, 86}}) {
        grid->setColumnWidth(column, width);
    }
    grid->horizontalHeader()->setStretchLastSection(true);
    connect(m_ui->cmdFile, &QPushButton::clicked, this, &TYardstickList::cmdFileClick);
    connect(m_ui->cmdApply, &QPushButton::clicked, this, &TYardstickList::cmdApplyClick);
    connect(m_ui->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TYardstickList::~TYardstickList() = default;

void TYardstickList::cmdFileClick() {
    FileDialogOptions dialog;
    dialog.title = QStringLiteral("Yardstick-Liste laden");
    dialog.filter = QStringLiteral("CSV-Dateien (*.csv *.txt)");
    const QString chosen = m_seams.prompts.openFileName(dialog);
    if (!chosen.isEmpty()) {
        guarded(m_seams.prompts, [&] { load(chosen); });
    }
}

void TYardstickList::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw Error(QStringLiteral("Die Datei '%1' kann nicht gelesen werden:\n%2")
                        .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    // Everything is read and compared first: a file that fails leaves the window as it was.
    const YardstickList list = readYardstickList(file.readAll());
    m_comparison = compareWithRegister(list, m_participants);
    m_ui->txtFile->setText(QDir::toNativeSeparators(path));
    m_ui->txtName->setText(proposedListName(path));
    showComparison(list);
    m_ui->cmdApply->setEnabled(true);
}

void TYardstickList::showComparison(const YardstickList& list) {
    QTableWidget* grid = m_ui->DBGrid1;
    grid->setRowCount(int(m_comparison.changes.size()));
    for (int r = 0; r < grid->rowCount(); ++r) {
        const YardstickChange& change = m_comparison.changes[r];
        const QStringList texts = {change.sailNumber, change.boatName, change.type, displayText(change.now),
                                   displayText(change.listed)};
        for (int c = 0; c < texts.size(); ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            if (c == Now || c == Listed) {
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            grid->setItem(r, c, item);
        }
        auto* tick = new QTableWidgetItem();
        tick->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        tick->setCheckState(Qt::Checked);
        grid->setItem(r, Tick, tick);
        auto* remark = new QTableWidgetItem(change.remark);
        remark->setToolTip(change.remark); // a long remark is cut in the cell
        grid->setItem(r, Remark, remark);
    }
    QStringList lines;
    for (const YardstickProblem& problem : list.problems) {
        lines << QStringLiteral("Zeile %1: %2 – %3").arg(problem.line).arg(problem.text, problem.reason);
    }
    for (const QString& type : m_comparison.missingTypes) {
        lines << QStringLiteral("Typ '%1' fehlt in der Liste").arg(type);
    }
    m_ui->memProblems->setPlainText(lines.join(u'\n'));
    m_ui->lblSummary->setText(QStringLiteral("%1 Typen in der Liste, %2 Boote mit anderer Zahl, %3 Typen fehlen")
                                  .arg(list.byType.size())
                                  .arg(m_comparison.changes.size())
                                  .arg(m_comparison.missingTypes.size()));
}

void TYardstickList::cmdApplyClick() {
    guarded(m_seams.prompts, [&] {
        const QString name = m_ui->txtName->text().simplified();
        if (name.isEmpty()) {
            throw Error(
                QStringLiteral("Bitte einen Namen für die Yardstick-Liste eingeben (zum Beispiel 'DSV 2027')."));
        }
        QList<YardstickChange> ticked;
        for (int r = 0; r < m_ui->DBGrid1->rowCount(); ++r) {
            if (m_ui->DBGrid1->item(r, Tick)->checkState() == Qt::Checked) {
                ticked << m_comparison.changes[r];
            }
        }
        const int changed = applyYardsticks(m_participants, ticked,
                                            {name, m_seams.clock.today(), m_database, m_seams.programDir.prefsPath()});
        m_seams.prompts.message(changed == 1 ? QStringLiteral("Die Yardstick-Liste '%1' ist übernommen: 1 Boot hat "
                                                              "eine neue Yardstick-Zahl.")
                                                   .arg(name)
                                             : QStringLiteral("Die Yardstick-Liste '%1' ist übernommen: %2 Boote "
                                                              "haben eine neue Yardstick-Zahl.")
                                                   .arg(name)
                                                   .arg(changed));
        accept();
    });
}

} // namespace wm
