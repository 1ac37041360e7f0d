#pragma once

#include <QString>

#include <cstdint>

namespace wm {

// The fixed version record the build places in the executable, in a section of its own.
struct FixedFileVersion {
    std::uint32_t signature;     // kVersionSignature
    std::uint32_t structVersion; // 0x00010000
    std::uint32_t fileVersionMS; // major << 16 | minor
    std::uint32_t fileVersionLS; // release << 16 | build
};
inline constexpr std::uint32_t kVersionSignature = 0xFEEF04BDu;
inline constexpr const char* kVersionSection = ".wmversion";

// The file version of a program file as "major.minor.release.build": "-1" for a missing file, "" for a file
// that carries no readable version record.
QString GetFileVersion(const QString& path);

} // namespace wm
