#include "app/TrayIcon.h"

#include "app/Maker.h"
#include "desktop/ImageList.h"

#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>

namespace wm {

TrayIcon::TrayIcon(const ImageList& images16, QObject* parent) : QObject(parent), m_menu(new QMenu) {
    m_menu->setObjectName(QStringLiteral("TrayPopup"));
    m_website = m_menu->addAction(maker::kWebAddressShown);
    m_website->setObjectName(QStringLiteral("mnuWebsite"));
    m_version = m_menu->addAction(QStringLiteral("VersionInfo"));
    m_version->setObjectName(QStringLiteral("Beenden1"));
    m_version->setEnabled(false);
    m_menu->addSeparator();
    m_quit = m_menu->addAction(images16.icon(0), QStringLiteral("Beenden"));
    m_quit->setObjectName(QStringLiteral("Beenden"));
    connect(m_quit, &QAction::triggered, this, &TrayIcon::quitRequested);

    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_tray = new QSystemTrayIcon(QIcon(maker::kProgramIcon), this);
        m_tray->setToolTip(QStringLiteral("Wendemark"));
        m_tray->setContextMenu(m_menu);
        // A left click opens the same menu as a right click.
        connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger) {
                m_menu->popup(QCursor::pos());
            }
        });
        m_tray->show();
    }
}

TrayIcon::~TrayIcon() {
    delete m_menu;
}

void TrayIcon::setVersionText(const QString& text) {
    m_version->setText(text);
}

void TrayIcon::notify(const QString& title, const QString& text) {
    // The tray's limits: a title of 63 and a text of 255 characters.
    const QString t = title.left(63);
    const QString s = text.left(255);
    if (m_tray && m_tray->isVisible() && QSystemTrayIcon::supportsMessages()) {
        m_tray->showMessage(t, s, QSystemTrayIcon::Information, 10000);
    } else if (m_fallback) {
        m_fallback(t, s);
    }
}

void TrayIcon::clear() {
    // A balloon already shown cannot be taken back through the tray's interface; it goes by itself. The
    // notice inside the window is hidden at once.
    if (m_clearFallback) {
        m_clearFallback();
    }
}

} // namespace wm
