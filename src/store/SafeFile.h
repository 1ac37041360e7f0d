#pragma once

#include <QByteArray>
#include <QString>

namespace wm {

// Writes a file whole: the data goes to a temporary file beside it, is flushed to the disk and only then
// takes the file's place. A failed write (full disk, read-only file or folder) leaves the old file as it
// was, removes the temporary file and throws wm::Error with a German message.
void writeWholeFile(const QString& path, const QByteArray& data);

// Writes all of `data` to an open file descriptor, going on after interrupted writes. Returns 0, or the errno
// of the failure (ENOSPC when the disk takes nothing more).
int writeAll(int fd, const QByteArray& data);

// What went wrong with a file operation, in German, for an errno value.
QString fileErrorText(int error);

} // namespace wm
