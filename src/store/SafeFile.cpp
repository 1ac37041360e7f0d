#include "store/SafeFile.h"

#include "store/Error.h"
#include "store/Log.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace wm {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    // Closing is the last chance for the file system to report a failed write, so it is checked.
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

[[noreturn]] void fail(const QString& path, int error) {
    throw Error(QStringLiteral("Die Datei '%1' konnte nicht geschrieben werden: %2\nDie bisherige Datei bleibt "
                               "unverändert.")
                    .arg(path, fileErrorText(error)));
}

} // namespace

int writeAll(int fd, const QByteArray& data) {
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n < 0 ? errno : ENOSPC;
        }
        done += n;
    }
    return 0;
}

QString fileErrorText(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Der Datenträger ist voll.");
    case EROFS:
    case EACCES:
    case EPERM:
        return QStringLiteral("Die Datei oder ihr Ordner ist schreibgeschützt.");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("Der Ordner existiert nicht.");
    case EISDIR:
        return QStringLiteral("Unter diesem Namen existiert ein Ordner.");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("Die Datei wird von einem anderen Programm benutzt.");
    default:
        return QStringLiteral("Ein- oder Ausgabefehler (Fehlercode %1).").arg(error);
    }
}

void writeWholeFile(const QString& path, const QByteArray& data) {
    const QFileInfo info(path);
    if (info.isDir()) {
        fail(path, EISDIR);
    }
    struct stat existing {};
    const bool exists = ::stat(QFile::encodeName(path).constData(), &existing) == 0;
    // A file the user made read-only (or another program holds read-only) is not silently replaced.
    if (exists && ::access(QFile::encodeName(path).constData(), W_OK) != 0) {
        fail(path, errno);
    }
    QByteArray temp = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName()) + ".XXXXXX";
    Descriptor fd(::mkstemp(temp.data()));
    if (fd.get() < 0) {
        fail(path, errno);
    }
    auto discard = [&](int error) {
        if (::unlink(temp.constData()) != 0 && errno != ENOENT) {
            logFailure(QStringLiteral("Datei"), QStringLiteral("Die Hilfsdatei '%1' konnte nicht gelöscht werden: %2")
                                                    .arg(QFile::decodeName(temp), fileErrorText(errno)));
        }
        fail(path, error);
    };
    mode_t mode = 0644;
    if (exists) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd.get(), mode) != 0) {
        discard(errno);
    }
    if (const int error = writeAll(fd.get(), data); error != 0) {
        discard(error);
    }
    if (::fsync(fd.get()) != 0 || !fd.close()) {
        discard(errno);
    }
    if (::rename(temp.constData(), QFile::encodeName(path).constData()) != 0) {
        discard(errno);
    }
    // The new name itself must reach the disk, or a power cut could bring back the old file.
    Descriptor dir(::open(QFile::encodeName(info.absolutePath()).constData(), O_RDONLY | O_DIRECTORY));
    if (dir.get() >= 0) {
        ::fsync(dir.get());
    }
}

} // namespace wm
