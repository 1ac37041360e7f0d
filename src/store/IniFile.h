#pragma once

#include <QString>

#include <memory>

namespace wm {

// One INI file, read whole when constructed and written whole by save(). Keys and sections the program
// does not know are kept as they are. A missing or unreadable file reads as empty, so every key gives its
// default.
class IniFile {
public:
    explicit IniFile(QString path);
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    const QString& path() const { return m_path; }

    bool hasKey(const QString& section, const QString& key) const;
    QString readString(const QString& section, const QString& key, const QString& def) const;
    // True for a whole number other than 0; text that is not a whole number gives the default.
    bool readBool(const QString& section, const QString& key, bool def) const;
    int readInt(const QString& section, const QString& key, int def) const;

    void writeString(const QString& section, const QString& key, const QString& value);
    void writeBool(const QString& section, const QString& key, bool value);
    void writeInt(const QString& section, const QString& key, int value);

    // Writes the whole file atomically; throws wm::Error when it cannot be written.
    void save();

private:
    QString m_path;
    struct Impl;
    std::unique_ptr<Impl> m_impl;
    bool m_unreadable = false;
};

} // namespace wm
