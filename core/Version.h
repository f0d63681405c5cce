#pragma once
// The program's version information (shown by the splash screen and the About box).
namespace velu {
inline constexpr int VersionMajor = 4;
inline constexpr int VersionMinor = 0;
inline constexpr int VersionRevision = 0;
inline constexpr const char* ProduktName = "Velunta";
} // namespace velu
