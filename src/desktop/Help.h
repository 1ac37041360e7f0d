#pragma once

#include <QObject>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

#include <functional>

namespace wm {

// The handbook: pages in the program folder's "Hilfe" folder, opened in the system's browser, or where none
// opens, in a simple help window of the program's own. F1 anywhere in the program opens the page of the
// window in front.
class Help : public QObject {
    Q_OBJECT
public:
    using OpenUrl = std::function<bool(const QUrl&)>;
    // Which page belongs to a window ("start.html#startfolge").
    using PageFor = std::function<QString(const QWidget* window)>;

    // `openUrl` null: the desktop's own way of opening a file.
    Help(QString helpDir, OpenUrl openUrl, PageFor pageFor, QObject* parent = nullptr);
    ~Help() override;

    // Opens a page ("boote.html#import"); a missing handbook is said in the help window.
    void show(const QString& page);
    // The page opened last in the help window of the program's own (null while none).
    QTextBrowser* helpWindow() const { return m_window; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showOwn(const QUrl& url, const QString& file);

    const QString m_dir;
    const OpenUrl m_openUrl;
    const PageFor m_pageFor;
    QPointer<QTextBrowser> m_window;
};

} // namespace wm
