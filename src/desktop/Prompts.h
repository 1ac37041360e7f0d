#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace wm {

inline const QString kAppCaption = QStringLiteral("Wendemark");

struct FileDialogOptions {
    QString title;     // empty: the desktop's default
    QString filter;    // e.g. "Datenbank (*.db)"
    QString directory; // empty: the desktop's default
    bool confirmOverwrite = false;
};

// Every modal question, message, input box, file dialog and error box goes through here, so that tests
// can script the answers and read the texts.
class Prompts {
public:
    virtual ~Prompts() = default;
    // Yes/No box; true for Yes. Closing the box counts as No.
    virtual bool ask(const QString& caption, const QString& text, bool defaultYes = true) = 0;
    virtual void message(const QString& text) = 0;
    // The error box. Every one is written to the log first, with the title of the window the user works in,
    // whoever shows it.
    void error(const QString& text);
    // nullopt when cancelled.
    virtual std::optional<QString> inputText(const QString& caption, const QString& prompt, const QString& text) = 0;
    // Empty when cancelled.
    virtual QString saveFileName(const FileDialogOptions& options) = 0;
    virtual QString openFileName(const FileDialogOptions& options) = 0;

protected:
    virtual void showError(const QString& text) = 0;
};

class DialogPrompts : public Prompts {
public:
    void setParent(QWidget* parent) { m_parent = parent; }
    bool ask(const QString& caption, const QString& text, bool defaultYes) override;
    void message(const QString& text) override;
    std::optional<QString> inputText(const QString& caption, const QString& prompt, const QString& text) override;
    QString saveFileName(const FileDialogOptions& options) override;
    QString openFileName(const FileDialogOptions& options) override;

protected:
    void showError(const QString& text) override;

private:
    QWidget* m_parent = nullptr;
};

} // namespace wm
