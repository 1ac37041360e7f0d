#pragma once

#include "store/ProgramDir.h"

#include <QDialog>
#include <QUrl>

#include <functional>
#include <memory>

namespace Ui {
class TAbout;
}

namespace wm {

// Where the program keeps what a race office may need to find: the folders, the log and the newest backup.
struct AboutFacts {
    QString programFolder;
    QString dataFolder;
    QString logFile;
    QString newestBackup; // empty: none yet
};
AboutFacts aboutFacts(const ProgramDir& dir);

// "Über Wendemark": the version, and each place with a button that opens it.
class TAbout : public QDialog {
    Q_OBJECT
public:
    TAbout(const QString& version, const AboutFacts& facts, std::function<bool(const QUrl&)> openUrl,
           QWidget* parent = nullptr);
    ~TAbout() override;

private:
    std::unique_ptr<Ui::TAbout> m_ui;
};

} // namespace wm
