#include "desktop/Prompts.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace wm {

bool DialogPrompts::ask(const QString& caption, const QString& text, bool defaultYes) {
    return QMessageBox::question(m_parent, caption, text, QMessageBox::Yes | QMessageBox::No,
                                 defaultYes ? QMessageBox::Yes : QMessageBox::No) == QMessageBox::Yes;
}

void DialogPrompts::message(const QString& text) {
    QMessageBox::information(m_parent, kAppCaption, text);
}

void DialogPrompts::error(const QString& text) {
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
