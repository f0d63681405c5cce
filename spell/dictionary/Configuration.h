#pragma once
// WORTEX.INI: the dictionaries to open, the insert dictionary, the user correction file and the option
// flags that steer checking. Read once at start, written as a whole on request.
#include "platform/win32/Profile.h"

#include <array>
#include <cstdint>
#include <string>

namespace wortex {

struct OptionFlag {
    const char* key;
    std::uint32_t bit;
    bool onByDefault;
    int control; // check box of the settings dialog
};

// In reading order.
extern const std::array<OptionFlag, 16> kOptionFlags;
// The order in which the flags are written.
extern const std::array<const char*, 16> kOptionWriteOrder;

constexpr std::uint32_t kOptionPriorityEszett = 0x40000;
constexpr std::uint32_t kOptionPriorityOu = 0x80000;
constexpr std::uint32_t kPlaceCurrentDirectory = 1;
constexpr std::uint32_t kPlaceLibrary = 0;
constexpr std::size_t kMaxConfigurationSize = 1024 * 1024;
// The most dictionary names the start opens from the file; the rest are left with a message.
constexpr std::size_t kMaxDictionaryNames = 64;

// Only the bits of the table survive; with both priorities only the first.
std::uint32_t NormaliseOptions(std::uint32_t options);
std::uint32_t DefaultOptions();

// The folder of the library file with a trailing separator; tests put it elsewhere (empty: the real one).
std::string LibraryDirectory();
void SetLibraryDirectory(const std::string& directory);
std::string ConfigurationFile(std::uint32_t place);

// Off when the value's first character is "n" or "N"; on otherwise.
void ReadFlag(std::uint32_t& options, const win32::ProfileText& profile, const char* key, bool onByDefault,
              std::uint32_t bit);
void WriteFlag(win32::ProfileText& profile, const char* key, bool on);

// False when the text breaks the file's syntax (a NUL, too long, a line of no known kind).
bool IsWellFormedConfiguration(const std::string& text);

// Opens the dictionaries and the user file named there and returns the place and the option word. A
// malformed file counts as missing, with a message.
void ReadConfiguration(std::uint32_t* place, std::uint32_t* options);
// The user chose the insert dictionary in the dialog: a save no longer keeps the one WORTEX.INI named.
void ForgetUnopenedInsertFile();
// The whole file in one replacement; false (with a message, the old file untouched) when that fails.
bool WriteConfiguration(std::uint32_t place, std::uint32_t options);
// The text that WriteConfiguration stores, from the open dictionaries and user file.
std::string ConfigurationText(const std::string& oldText, std::uint32_t options);

} // namespace wortex
