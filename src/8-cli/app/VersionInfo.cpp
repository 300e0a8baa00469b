#include "app/VersionInfo.h"

namespace {

// This release is a private, special build.
constexpr uint32_t ReleaseFlags = FileFlagPrivateBuild | FileFlagSpecialBuild;
constexpr uint32_t ReleaseFlagsMask =
    FileFlagDebug | FileFlagPreRelease | FileFlagPrivateBuild | FileFlagSpecialBuild;

}  // namespace

std::optional<FileVersionInfo> ProgramVersionInfo() {
#if defined(KAVRILON_VERSION_MAJOR) && defined(KAVRILON_VERSION_MINOR) && \
    defined(KAVRILON_VERSION_RELEASE) && defined(KAVRILON_VERSION_BUILD)
    FileVersionInfo info;
    info.major = KAVRILON_VERSION_MAJOR;
    info.minor = KAVRILON_VERSION_MINOR;
    info.release = KAVRILON_VERSION_RELEASE;
    info.build = KAVRILON_VERSION_BUILD;
    info.flags = ReleaseFlags;
    info.flagsMask = ReleaseFlagsMask;
    return info;
#else
    return std::nullopt;
#endif
}

QString VersionText(const FileVersionInfo& info) {
    return QStringLiteral("Version %1.%2.%3.%4")
        .arg(info.major)
        .arg(info.minor)
        .arg(info.release)
        .arg(info.build);
}

QString PropertyText(const FileVersionInfo& info) {
    struct FlagText {
        uint32_t flag;
        const char* text;
    };
    static constexpr FlagText texts[] = {{FileFlagDebug, " Debug"},
                                         {FileFlagPreRelease, " Beta"},
                                         {FileFlagPrivateBuild, " Private"},
                                         {FileFlagSpecialBuild, " Special"}};
    QString property;
    const uint32_t valid = info.flags & info.flagsMask;
    for (const FlagText& entry : texts) {
        if (valid & entry.flag)
            property += QLatin1String(entry.text);
    }
    return property;
}
