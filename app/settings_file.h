#pragma once
// The ".prm" settings file: repeat playback, the 640×480 full-screen switch and the colour
// mode, kept between runs. One key table drives both reading and writing.
#include <cstdint>
#include <string>

struct SettingKey {
    const char* pszKey;  // nullptr ends the table
    int32_t* pTarget;    // the AppState field, or nullptr
    int16_t nType;       // 0 decimal, 1 hexadecimal, 9 the key text alone
    // The values the field is used with; one outside them reads as nInitial, the field's
    // value before any file is read.
    int32_t nMin = 0;
    int32_t nMax = 0;
    int32_t nInitial = 0;
};

extern const SettingKey SettingsKeyTable[];

// The executable's path with its extension replaced by "prm" ("/" separates folders).
std::string GetSettingsPath(const std::string& strExecutablePath);
// The two places the file may live: beside the executable, or the per-user folder
// ($XDG_CONFIG_HOME/quovel/, default ~/.config/quovel/) when the file beside the executable
// cannot be written (an installed program, a read-only copy, a file of another user).
// One rule serves both directions, so that what is written at exit is what the next start
// reads: it is written where it can be, and of the two files that exist the newer is read.
struct SettingsFiles {
    std::string strRead;  // empty when neither file exists
    std::string strWrite;
};
SettingsFiles ChooseSettingsFiles(const std::string& strExecutablePath);

int32_t ParseSettingNumber(const std::string& strText);
int ReadKeyValue(const std::string& strLine, const char* pszKey, int32_t* pTarget, int16_t nType);
void ApplySettingsLine(const std::string& strLine);
std::string FormatSettingLine(const char* pszKey, const int32_t* pTarget, int16_t nType);

// 1 when the file was read, 0 when it could not be opened (nothing changes then).
int LoadSettings(const std::string& strPath);
// 1 when the file was written, 0 when it could not be (the reason in *pstrWhy). The file is
// replaced whole, never left half written; a link in its place is replaced, not followed.
int SaveSettings(const std::string& strPath, std::string* pstrWhy = nullptr);
