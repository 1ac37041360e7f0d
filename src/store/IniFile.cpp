#include "store/IniFile.h"

#include "store/Error.h"
#include "store/Log.h"
#include "store/SafeFile.h"

#include <QFile>
#include <QStringDecoder>

#include <SimpleIni.h>
#include <optional>

namespace wm {

struct IniFile::Impl {
    CSimpleIniA ini{true, false, false};
};

namespace {

// The text as UTF-8, or nothing for binary content. A file saved by an editor in Latin-1 is taken as such, so
// an umlaut in a path written by hand is not lost.
std::optional<QByteArray> asUtf8(const QByteArray& data) {
    if (data.contains('\0')) {
        return std::nullopt;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString decoded = decoder.decode(data);
    if (!decoder.hasError()) {
        return data;
    }
    return QString::fromLatin1(data).toUtf8();
}

} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)), m_impl(std::make_unique<Impl>()) {
    m_impl->ini.SetSpaces(false);
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        return;
    }
    const std::optional<QByteArray> data = asUtf8(file.readAll());
    if (!data) {
        m_unreadable = true;
        return;
    }
    if (m_impl->ini.LoadData(data->constData(), size_t(data->size())) < 0) {
        m_impl->ini.Reset();
        m_unreadable = true;
    }
}

IniFile::~IniFile() = default;

bool IniFile::hasKey(const QString& section, const QString& key) const {
    return m_impl->ini.GetValue(section.toUtf8().constData(), key.toUtf8().constData(), nullptr) != nullptr;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const {
    const char* value = m_impl->ini.GetValue(section.toUtf8().constData(), key.toUtf8().constData(), nullptr);
    return value ? QString::fromUtf8(value) : def;
}

int IniFile::readInt(const QString& section, const QString& key, int def) const {
    bool ok = false;
    const int value = readString(section, key, QString()).toInt(&ok);
    return ok ? value : def;
}

bool IniFile::readBool(const QString& section, const QString& key, bool def) const {
    return readInt(section, key, def ? 1 : 0) != 0;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    m_impl->ini.SetValue(section.toUtf8().constData(), key.toUtf8().constData(), value.toUtf8().constData());
}

void IniFile::writeBool(const QString& section, const QString& key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::writeInt(const QString& section, const QString& key, int value) {
    writeString(section, key, QString::number(value));
}

void IniFile::save() {
    if (m_unreadable && QFile::exists(m_path)) {
        // Keep what was there: a damaged file may still hold something the user wants back.
        const QString keep = m_path + QStringLiteral(".defekt");
        QFile::remove(keep);
        if (!QFile::copy(m_path, keep)) {
            logFailure(QStringLiteral("Datei"),
                       QStringLiteral("Die unlesbare Datei '%1' konnte nicht als '%2' aufbewahrt werden; sie wird "
                                      "überschrieben.")
                           .arg(m_path, keep));
        }
    }
    std::string text;
    if (m_impl->ini.Save(text) < 0) {
        throw Error(QStringLiteral("Die Datei '%1' konnte nicht geschrieben werden.").arg(m_path));
    }
    writeWholeFile(m_path, QByteArray(text.data(), qsizetype(text.size())));
    m_unreadable = false;
}

} // namespace wm
