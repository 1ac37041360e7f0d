#pragma once

#include "desktop/Notifier.h"

#include <QObject>

#include <functional>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace wm {

class ImageList;

// The tray icon with its menu and the notices shown at it. Where the desktop has no tray, notices go to the
// fallback (the main window shows them itself).
class TrayIcon : public QObject, public Notifier {
    Q_OBJECT
public:
    TrayIcon(const ImageList& images16, QObject* parent = nullptr);
    ~TrayIcon() override;

    QMenu* menu() const { return m_menu; }
    void setVersionText(const QString& text);
    void setFallback(std::function<void(const QString&, const QString&)> fallback) { m_fallback = std::move(fallback); }
    void setClearFallback(std::function<void()> clear) { m_clearFallback = std::move(clear); }
    void notify(const QString& title, const QString& text) override;
    void clear() override;

signals:
    void quitRequested();

private:
    QMenu* m_menu;
    QAction* m_website;
    QAction* m_version;
    QAction* m_quit;
    QSystemTrayIcon* m_tray = nullptr;
    std::function<void(const QString&, const QString&)> m_fallback;
    std::function<void()> m_clearFallback;
};

} // namespace wm
