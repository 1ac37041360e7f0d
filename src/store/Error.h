#pragma once

#include <QString>

#include <exception>

namespace wm {

// A failure the user must see: store, conversion and time errors carry the German text of the error box.
class Error : public std::exception {
public:
    explicit Error(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// The table is held by another program (or another part of this one).
class LockedError : public Error {
public:
    using Error::Error;
};

// A unique key would be violated: two rows have the same key.
class ConstraintError : public Error {
public:
    using Error::Error;
};

} // namespace wm
