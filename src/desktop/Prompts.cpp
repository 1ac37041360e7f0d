#include "desktop/Prompts.h"

#include "store/Log.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace wm {

namespace {

// The window the user works in: a dialog running on top of the others, else the active window. Where no window
// of the program is active, the caption of the error box stands in.
QString workingWindowTitle() {
    QWidget* window = QApplication::activeModalWidget();
    if (!window) {
        window = QApplication::activeWindow();
    }
    const QString title = window ? window->windowTitle() : QString();
    return title.isEmpty() ? kAppCaption : title;
}

} // namespace

void Prompts::error(const QString& text) {
    logErrorBox(workingWindowTitle(), text);
    showError(text);
}

bool DialogPrompts::ask(const QString& caption, const QString& text, bool defaultYes) {
    return QMessageBox::question(m_parent, caption, text, QMessageBox::Yes | QMessageBox::No,
                                 defaultYes ? QMessageBox::Yes : QMessageBox::No) == QMessageBox::Yes;
}

void DialogPrompts::message(const QString& text) {
    QMessageBox::information(m_parent, kAppCaption, text);
}

void DialogPrompts::showError(const QString& text) {
    QMessageBox::critical(m_parent, kAppCaption, text);
}

std::optional<QString> DialogPrompts::inputText(const QString& caption, const QString& prompt, const QString& text) {
    bool ok = false;
    const QString result = QInputDialog::getText(m_parent, caption, prompt, QLineEdit::Normal, text, &ok);
    return ok ? std::optional<QString>(result) : std::nullopt;
}

QString DialogPrompts::saveFileName(const FileDialogOptions& options) {
    const QFileDialog::Options flags =
        options.confirmOverwrite ? QFileDialog::Options() : QFileDialog::DontConfirmOverwrite;
    return QFileDialog::getSaveFileName(m_parent, options.title, options.directory, options.filter, nullptr, flags);
}

QString DialogPrompts::openFileName(const FileDialogOptions& options) {
    return QFileDialog::getOpenFileName(m_parent, options.title, options.directory, options.filter);
}

} // namespace wm
