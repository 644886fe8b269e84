#pragma once
// The ".prm" settings file: repeat playback, the 640×480 full-screen switch and the colour
// mode, kept between runs. One key table drives both reading and writing.
#include <cstdint>
#include <string>

struct SettingKey {
    const char* pszKey;  // nullptr ends the table
    int32_t* pTarget;    // the AppState field, or nullptr
    int16_t nType;       // 0 decimal, 1 hexadecimal, 9 the key text alone
};

extern const SettingKey SettingsKeyTable[];

// The executable's path with its extension replaced by "prm" ("/" separates folders).
std::string GetSettingsPath(const std::string& strExecutablePath);
// Where the file is read from: beside the executable if it is there, else the per-user
// folder ($XDG_CONFIG_HOME/quovel/, default ~/.config/quovel/).
std::string SettingsPathForReading(const std::string& strExecutablePath);
// Where it is written: beside the executable if that folder is writable, else the per-user one.
std::string SettingsPathForWriting(const std::string& strExecutablePath);

int32_t ParseSettingNumber(const std::string& strText);
int ReadKeyValue(const std::string& strLine, const char* pszKey, int32_t* pTarget, int16_t nType);
void ApplySettingsLine(const std::string& strLine);
std::string FormatSettingLine(const char* pszKey, const int32_t* pTarget, int16_t nType);

// 1 when the file was read, 0 when it could not be opened (nothing changes then).
int LoadSettings(const std::string& strPath);
// 1 when the file was written, 0 when it could not be created.
int SaveSettings(const std::string& strPath);
