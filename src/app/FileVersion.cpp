#include "app/FileVersion.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace wm {

namespace {

template <typename T> bool readAt(const QByteArray& data, qint64 offset, T& out) {
    if (offset < 0 || offset + qint64(sizeof(T)) > data.size()) {
        return false;
    }
    std::memcpy(&out, data.constData() + offset, sizeof(T));
    return true;
}

// Finds the version section of a 64-bit little-endian ELF file by name.
bool findVersion(const QByteArray& elf, FixedFileVersion& version) {
    if (elf.size() < 64 ||
        !elf.startsWith("\x7f"
                        "ELF") ||
        elf[4] != 2 || elf[5] != 1) {
        return false;
    }
    std::uint64_t shoff = 0;
    std::uint16_t shentsize = 0, shnum = 0, shstrndx = 0;
    if (!readAt(elf, 0x28, shoff) || !readAt(elf, 0x3A, shentsize) || !readAt(elf, 0x3C, shnum) ||
        !readAt(elf, 0x3E, shstrndx) || shentsize < 64 || shstrndx >= shnum) {
        return false;
    }
    auto sectionOffset = [&](int i, std::uint64_t& offset, std::uint64_t& size, std::uint32_t& name) {
        const qint64 header = qint64(shoff) + qint64(i) * shentsize;
        return readAt(elf, header, name) && readAt(elf, header + 0x18, offset) && readAt(elf, header + 0x20, size);
    };
    std::uint64_t strOffset = 0, strSize = 0;
    std::uint32_t unused = 0;
    if (!sectionOffset(shstrndx, strOffset, strSize, unused)) {
        return false;
    }
    for (int i = 0; i < shnum; ++i) {
        std::uint64_t offset = 0, size = 0;
        std::uint32_t name = 0;
        if (!sectionOffset(i, offset, size, name) || name >= strSize) {
            continue;
        }
        const qint64 nameAt = qint64(strOffset + name);
        if (nameAt >= elf.size()) {
            continue;
        }
        const char* sectionName = elf.constData() + nameAt;
        const qint64 room = elf.size() - nameAt;
        if (qstrnlen(sectionName, size_t(room)) == std::strlen(kVersionSection) &&
            std::memcmp(sectionName, kVersionSection, std::strlen(kVersionSection)) == 0) {
            return size >= sizeof(FixedFileVersion) && readAt(elf, qint64(offset), version) &&
                   version.signature == kVersionSignature;
        }
    }
    return false;
}

} // namespace

QString GetFileVersion(const QString& path) {
    if (!QFileInfo::exists(path)) {
        return QStringLiteral("-1");
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray data = file.readAll();
    FixedFileVersion v{};
    if (!findVersion(data, v)) {
        return {};
    }
    return QStringLiteral("%1.%2.%3.%4")
        .arg(v.fileVersionMS >> 16)
        .arg(v.fileVersionMS & 0xFFFF)
        .arg(v.fileVersionLS >> 16)
        .arg(v.fileVersionLS & 0xFFFF);
}

} // namespace wm
