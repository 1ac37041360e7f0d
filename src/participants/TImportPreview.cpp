#include "participants/TImportPreview.h"

#include "ui_TImportPreview.h"

#include <QHeaderView>

namespace wm {

TImportPreview::TImportPreview(const QList<ImportRow>& rows, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TImportPreview>()) {
    m_ui->setupUi(this);
    const QStringList columns = importColumns();
    QTableWidget* grid = m_ui->DBGrid1;
    grid->setColumnCount(int(columns.size()));
    grid->setHorizontalHeaderLabels(columns);
    grid->setRowCount(int(rows.size()));
    QStringList lines;
    int added = 0;
    int skipped = 0;
    int refused = 0;
    for (int r = 0; r < rows.size(); ++r) {
        const ImportRow& row = rows[r];
        lines << QStringLiteral("Zeile %1").arg(row.line);
        for (int c = 0; c < row.texts.size(); ++c) {
            grid->setItem(r, c, new QTableWidgetItem(row.texts[c]));
        }
        auto* verdict = new QTableWidgetItem(row.verdictText);
        if (row.verdict == ImportRow::Verdict::Refused) {
            verdict->setForeground(QColor(192, 57, 43));
        }
        grid->setItem(r, int(columns.size()) - 1, verdict);
        added += row.verdict == ImportRow::Verdict::Add;
        skipped += row.verdict == ImportRow::Verdict::Duplicate;
        refused += row.verdict == ImportRow::Verdict::Refused;
    }
    grid->setVerticalHeaderLabels(lines);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->resizeColumnsToContents();
    m_ui->lblSummary->setText(
        QStringLiteral("%1 hinzuzufügen, %2 schon vorhanden, %3 abgelehnt").arg(added).arg(skipped).arg(refused));
    m_ui->cmdImport->setEnabled(added > 0);
    connect(m_ui->cmdImport, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TImportPreview::~TImportPreview() = default;

} // namespace wm
