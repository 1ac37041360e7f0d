#include "desktop/Help.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTextBrowser>

namespace wm {

Help::Help(QString helpDir, OpenUrl openUrl, PageFor pageFor, QObject* parent)
    : QObject(parent), m_dir(std::move(helpDir)), m_openUrl(std::move(openUrl)), m_pageFor(std::move(pageFor)) {
    qApp->installEventFilter(this);
}

Help::~Help() {
    delete m_window;
}

void Help::show(const QString& page) {
    const QString file = QDir(m_dir).filePath(page.section(u'#', 0, 0));
    QUrl url = QUrl::fromLocalFile(file);
    url.setFragment(page.section(u'#', 1), QUrl::DecodedMode);
    if (!QFileInfo::exists(file)) {
        showOwn(url, file);
        return;
    }
    const bool opened = m_openUrl ? m_openUrl(url) : QDesktopServices::openUrl(url);
    if (!opened) {
        showOwn(url, file);
    }
}

void Help::showOwn(const QUrl& url, const QString& file) {
    if (!m_window) {
        m_window = new QTextBrowser;
        m_window->setObjectName(QStringLiteral("helpWindow"));
        m_window->setWindowTitle(QStringLiteral("Wendemark – Hilfe"));
        m_window->setOpenExternalLinks(false);
        m_window->resize(760, 640);
    }
    if (QFileInfo::exists(file)) {
        m_window->setSource(url);
    } else {
        m_window->setPlainText(QStringLiteral("Das Handbuch ist nicht installiert: die Seite '%1' fehlt.")
                                   .arg(QDir::toNativeSeparators(file)));
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

bool Help::eventFilter(QObject* watched, QEvent* event) {
    // Every key reaches the application first: F1 is taken in whichever window has the focus, modal or not, and
    // goes no further.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() != m_window) {
            show(m_pageFor(widget->window()));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace wm
