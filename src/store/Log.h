#pragma once

#include <QDateTime>
#include <QLoggingCategory>
#include <QString>

namespace wm {

// Every error box the user was shown.
Q_DECLARE_LOGGING_CATEGORY(lcErrorBox)
// Every failure the program handles without an error box (a clean-up that failed, a table left out of a backup).
Q_DECLARE_LOGGING_CATEGORY(lcFailure)

// The log in the program folder, and the one older file kept when it grows past kLogLimit.
inline const QString kLogFileName = QStringLiteral("wendemark.log");
inline const QString kOldLogFileName = QStringLiteral("wendemark.log.1");
constexpr qint64 kLogLimit = 1024 * 1024;

// "<where>  <message>" on one line: line breaks become " | ", and a very long message is cut short so that a
// single line can never carry the file past its limit.
QString logLine(const QString& where, const QString& message);

// An error box shown in the window with this title.
void logErrorBox(const QString& window, const QString& message);
// A failure handled without an error box; `where` names the part of the program ("Sicherung", "Tabelle" ...).
void logFailure(const QString& where, const QString& message);

// Appends "yyyy-MM-dd hh:mm:ss  <line>" to wendemark.log in `folder` and flushes it to the disk. Should the
// line carry the file past kLogLimit, the file first becomes wendemark.log.1 (replacing the older one).
// Returns false when the line could not be written; never throws.
bool appendLogLine(const QString& folder, const QString& line, const QDateTime& time);

// While it lives, the lines of both categories are also appended to the log in `folder`; every message still
// reaches the handler installed before (stderr, or the test runner's output).
class LogFile {
public:
    explicit LogFile(const QString& folder);
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

private:
    QString m_previousFolder;
    QtMessageHandler m_previousHandler = nullptr;
};

} // namespace wm
