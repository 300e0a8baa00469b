#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// The version record of the program: the file version as four numbers and the
// file flags with the mask that says which of them are valid.
struct FileVersionInfo {
    uint16_t major = 0;
    uint16_t minor = 0;
    uint16_t release = 0;
    uint16_t build = 0;
    uint32_t flags = 0;
    uint32_t flagsMask = 0;
};

constexpr uint32_t FileFlagDebug = 0x01;
constexpr uint32_t FileFlagPreRelease = 0x02;
constexpr uint32_t FileFlagPrivateBuild = 0x08;
constexpr uint32_t FileFlagSpecialBuild = 0x20;

// This build's record (the project version of the build and its release flags),
// or nothing when the build carries no version.
std::optional<FileVersionInfo> ProgramVersionInfo();

// "Version 1.0.5.1"
QString VersionText(const FileVersionInfo& info);

// " Debug", " Beta", " Private", " Special" for each valid flag that is set.
QString PropertyText(const FileVersionInfo& info);
