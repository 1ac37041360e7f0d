#include "app/TAbout.h"

#include "store/Log.h"
#include "ui_TAbout.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace wm {

AboutFacts aboutFacts(const ProgramDir& dir) {
    AboutFacts facts;
    facts.programFolder = dir.root();
    facts.dataFolder = dir.dataDir();
    facts.logFile = QDir(dir.root()).filePath(kLogFileName);
    // Backups are named by the time they were taken, so the newest sorts last.
    const QDir backups(QDir(dir.dataDir()).filePath(QStringLiteral("Sicherung")));
    const QStringList taken =
        backups.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)
            .filter(QRegularExpression(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}_\\d{2}-\\d{2}-\\d{2}$")));
    if (!taken.isEmpty()) {
        facts.newestBackup = backups.filePath(taken.last());
    }
    return facts;
}

TAbout::TAbout(const QString& version, const AboutFacts& facts, std::function<bool(const QUrl&)> openUrl,
               QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TAbout>()) {
    m_ui->setupUi(this);
    m_ui->lblVersion->setText(version);
    const std::pair<QLabel*, QPushButton*> rows[] = {{m_ui->lblProgramm, m_ui->cmdProgramm},
                                                     {m_ui->lblDaten, m_ui->cmdDaten},
                                                     {m_ui->lblProtokoll, m_ui->cmdProtokoll},
                                                     {m_ui->lblSicherung, m_ui->cmdSicherung}};
    const QString paths[] = {facts.programFolder, facts.dataFolder, facts.logFile, facts.newestBackup};
    for (int i = 0; i < 4; ++i) {
        const QString shown = QDir::toNativeSeparators(paths[i]);
        auto [label, button] = rows[i];
        label->setText(paths[i].isEmpty() ? QStringLiteral("noch keine")
                                          : label->fontMetrics().elidedText(shown, Qt::ElideMiddle, label->width()));
        label->setToolTip(shown);
        button->setEnabled(!paths[i].isEmpty() && QFileInfo::exists(paths[i]));
        connect(button, &QPushButton::clicked, this,
                [openUrl, path = paths[i]] { openUrl(QUrl::fromLocalFile(path)); });
    }
    connect(m_ui->cmdClose, &QPushButton::clicked, this, &QDialog::accept);
}

TAbout::~TAbout() = default;

} // namespace wm
