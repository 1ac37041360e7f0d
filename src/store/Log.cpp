#include "store/Log.h"

#include "store/SafeFile.h"

#include <QFile>
#include <QMutex>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace wm {

Q_LOGGING_CATEGORY(lcErrorBox, "wendemark.error")
Q_LOGGING_CATEGORY(lcFailure, "wendemark.failure")

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");
const QString kSeparator = QStringLiteral("  ");
// Far beyond any message the program writes; keeps every line small against the file's limit.
constexpr qsizetype kMaxMessage = 4000;

struct Sink {
    QMutex mutex;
    QString folder;
    QtMessageHandler chained = nullptr;
};

Sink& sink() {
    static Sink s;
    return s;
}

bool isLogged(const char* category) {
    return category &&
           (qstrcmp(category, lcErrorBox().categoryName()) == 0 || qstrcmp(category, lcFailure().categoryName()) == 0);
}

QString flattened(const QString& text) {
    static const QRegularExpression breaks(QStringLiteral("\\s*[\\r\\n]+\\s*"));
    return text.trimmed().replace(breaks, QStringLiteral(" | "));
}

void handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    QtMessageHandler chained = nullptr;
    {
        QMutexLocker lock(&sink().mutex);
        // Only plain system calls below: a Qt warning raised in here would come straight back to this lock.
        if (isLogged(context.category) && !sink().folder.isEmpty()) {
            appendLogLine(sink().folder, message, QDateTime::currentDateTime());
        }
        chained = sink().chained;
    }
    if (chained) {
        chained(type, context, message);
    } else {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    }
}

} // namespace

QString logLine(const QString& where, const QString& message) {
    QString text = flattened(message);
    if (text.size() > kMaxMessage) {
        text = text.left(kMaxMessage) + QStringLiteral(" …");
    }
    return flattened(where).left(kMaxMessage) + kSeparator + text;
}

void logErrorBox(const QString& window, const QString& message) {
    qCCritical(lcErrorBox).noquote() << logLine(window, message);
}

void logFailure(const QString& where, const QString& message) {
    qCWarning(lcFailure).noquote() << logLine(where, message);
}

bool appendLogLine(const QString& folder, const QString& line, const QDateTime& time) {
    const QByteArray path = QFile::encodeName(folder + u'/' + kLogFileName);
    const QByteArray text = (time.toString(kTimeFormat) + kSeparator + line + u'\n').toUtf8();
    struct stat info {};
    if (::stat(path.constData(), &info) == 0 && info.st_size > 0 && info.st_size + text.size() > kLogLimit) {
        const QByteArray old = QFile::encodeName(folder + u'/' + kOldLogFileName);
        // A log that cannot be moved aside is not written on, or it would grow without end.
        if (::rename(path.constData(), old.constData()) != 0) {
            return false;
        }
    }
    const int fd = ::open(path.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    // Flushed line by line: what happened just before a power cut on the boat is what the log is for.
    const bool written = writeAll(fd, text) == 0 && ::fsync(fd) == 0;
    return ::close(fd) == 0 && written;
}

LogFile::LogFile(const QString& folder) {
    QMutexLocker lock(&sink().mutex);
    m_previousFolder = sink().folder;
    sink().folder = folder;
    m_previousHandler = qInstallMessageHandler(handleMessage);
    if (m_previousHandler != handleMessage) {
        sink().chained = m_previousHandler;
    }
}

LogFile::~LogFile() {
    QMutexLocker lock(&sink().mutex);
    sink().folder = m_previousFolder;
    if (m_previousHandler != handleMessage) {
        qInstallMessageHandler(m_previousHandler);
        sink().chained = nullptr;
    }
}

} // namespace wm
