#pragma once

#include "desktop/Notifier.h"
#include "desktop/Preview.h"
#include "desktop/Prompts.h"
#include "desktop/SignalSound.h"
#include "store/Clock.h"
#include "store/Error.h"

#include <QPointer>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>
#include <QWidget>

#include <cmath>
#include <deque>
#include <functional>

class QDialog;

namespace wm::test {

// Prompts that answer from a script and remember every text shown.
class ScriptedPrompts : public Prompts {
public:
    std::deque<bool> answers;                  // ask(): empty script answers No
    std::deque<std::optional<QString>> inputs; // inputText(): empty script cancels
    std::deque<QString> fileNames;             // save/open dialogs: empty script cancels
    QStringList asked, messages, errors, inputPrompts;
    QList<FileDialogOptions> dialogs;
    QStringList captions;
    // For each ask(): whether this window was on the screen at that moment.
    QPointer<QWidget> watched;
    QList<bool> watchedShownWhenAsked;

    bool ask(const QString& caption, const QString& text, bool defaultYes) override;
    void message(const QString& text) override { messages << text; }
    std::optional<QString> inputText(const QString& caption, const QString& prompt, const QString& text) override;
    QString saveFileName(const FileDialogOptions& options) override;
    QString openFileName(const FileDialogOptions& options) override;

protected:
    void showError(const QString& text) override { errors << text; }
};

// The start signals' sounds as "HH:MM:SS beep" / "HH:MM:SS tone", at the time of the clock given.
class RecordingSound : public SignalSound {
public:
    explicit RecordingSound(const Clock& clock) : m_clock(clock) {}
    QStringList sounds;
    void beep() override {
        sounds << m_clock.now().time().toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(" beep");
    }
    void tone() override {
        sounds << m_clock.now().time().toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(" tone");
    }

private:
    const Clock& m_clock;
};

class RecordingNotifier : public Notifier {
public:
    struct Notice {
        QString title;
        QString text;
    };
    QList<Notice> notices;
    int cleared = 0;
    void notify(const QString& title, const QString& text) override { notices.append({title, text}); }
    void clear() override { ++cleared; }
};

// Renders the report into a PDF file instead of showing it.
class PdfPreview : public Preview {
public:
    explicit PdfPreview(QString path) : m_path(std::move(path)) {}
    void show(const QString& title, const QPageLayout& layout, const Paint& paint) override;
    int shown = 0;

private:
    QString m_path;
};

// A program folder in a temporary directory with the fixed folders beneath it.
class ProgramFolder {
public:
    ProgramFolder();
    QString path() const { return m_dir.path(); }
    QString starter(const QString& file = QStringLiteral("StarterID.db")) const;
    QString data(const QString& file) const;
    QString prefs() const;
    // Writes a participant table with the given boats (fields by name).
    void writeParticipants(const QString& path, const QList<QVariantMap>& boats) const;

private:
    QTemporaryDir m_dir;
};

QVariantMap boat(const QString& sailNumber, const QString& boatName, const QString& name, const QString& type,
                 double yardstick, int start, int status = 0);

// A race table's field names in its order, as result rows carry them.
inline const QStringList kRaceFieldNames = {
    QStringLiteral("SEGELNR"), QStringLiteral("BOOTSNAME"), QStringLiteral("NAME"),  QStringLiteral("TYP"),
    QStringLiteral("YS"),      QStringLiteral("START"),     QStringLiteral("GZEIT"), QStringLiteral("BZEIT"),
    QStringLiteral("STATUS"),  QStringLiteral("Punkte")};

// Boats written one a row as "sail number|boat name|name|type|Yardstick|start[|status]", so that a fleet reads
// as a table; an empty text is no value.
QList<QVariantMap> boatList(const QStringList& rows);

// Six boats in three start groups, two in each, as a small club evening race has them.
QList<QVariantMap> exampleFleet();

// What errorOf() gives when nothing was thrown; unlike an empty text, no message can be mistaken for it.
inline const QString kNoError = QStringLiteral("<kein Fehler>");

// The message of the wm::Error that fn throws, or kNoError.
template <typename Fn> QString errorOf(Fn&& fn) {
    try {
        fn();
    } catch (const Error& e) {
        return e.message();
    }
    return kNoError;
}

inline bool near(double actual, double expected, double tolerance) {
    return std::abs(actual - expected) <= tolerance;
}

// A small tmpfs mounted over a folder: a real full disk. Only root may mount; elsewhere ok() is false and the
// test skips. The folder's old content is hidden while it is mounted.
class SmallDisk {
public:
    explicit SmallDisk(QString folder, int kilobytes = 256);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool ok() const { return m_mounted; }
    // Fills every free block, leaving `keepBytes` free (rounded to the disk's blocks).
    void fill(qint64 keepBytes = 0);
    void release(); // removes the filling

private:
    QString m_folder;
    bool m_mounted = false;
};

// A file made immutable (chattr +i): not even root can write it. ok() is false where that is not possible.
class ImmutableFile {
public:
    explicit ImmutableFile(QString path);
    ~ImmutableFile();
    ImmutableFile(const ImmutableFile&) = delete;
    ImmutableFile& operator=(const ImmutableFile&) = delete;
    bool ok() const { return m_set; }

private:
    QString m_path;
    bool m_set = false;
};

// Presses a control as a user would: a click on a button or a command label. Returns false, and presses
// nothing, unless the control exists, shows in its window and takes input.
bool press(QWidget* control);

// Runs `act` on the modal dialog that opens next, inside the dialog's own event loop, and closes the dialog
// if `act` left it open; the test goes on once the control that opened it returns.
void onNextDialog(std::function<void(QDialog& dialog)> act);

// Answers the next box of the check before publishing with the button of this objectName ("cmdContinue",
// "cmdCancel") and keeps the lines it listed; fails the test when another dialog opens.
void onNextResultCheck(const char* button, QStringList& lines);
// How many boxes of the check before publishing opened while `act` ran; each was closed with "Abbrechen".
int resultChecksDuring(const std::function<void()>& act);

// Waits until a helper process (table_holder) says "ready", that is holds its table.
bool waitForReady(QProcess& process);

QString readFile(const QString& path);
QByteArray fileBytes(const QString& path);
void writeFile(const QString& path, const QByteArray& content);

} // namespace wm::test

// Fails the test unless the control with this objectName can be pressed, then presses it.
#define PRESS(root, name)                                                                                              \
    do {                                                                                                               \
        if (!wm::test::press((root).findChild<QWidget*>(QStringLiteral(name)))) {                                      \
            QFAIL("'" name "' cannot be pressed: hidden or disabled");                                                 \
        }                                                                                                              \
    } while (false)
