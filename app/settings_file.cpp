#include "app/settings_file.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/replaced_file.h"
#include "resources/colour_modes.h"
#include "state/app_state.h"

const SettingKey SettingsKeyTable[] = {
    {"[AVI PLAYBACK CONFIGRATION]", nullptr, 9},
    {"AVI-File Play Repete Mode = ", &AppState.bRepeatPlay, 0, 0, 1, 0},
    {"Use VGA Mode in FullScreen = ", &AppState.bVgaFullScreen, 0, 0, 1, 0},
    {"Color Coordination Mode = ", &AppState.nColorMode, 0, 0, colour::kModeCount - 1, 0},
    {nullptr, nullptr, 0},
};

std::string GetSettingsPath(const std::string& strExe) {
    for (size_t i = strExe.size(); i-- > 0;) {
        if (strExe[i] == '.') {
            return strExe.substr(0, i + 1) + "prm";
        }
        if (strExe[i] == '/') {
            break;
        }
    }
    return strExe + ".prm";
}

namespace {
std::string UserSettingsPath(const std::string& strExe) {
    const char* pszConfig = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path base;
    if (pszConfig != nullptr && *pszConfig == '/') {
        base = pszConfig;
    } else if (const char* pszHome = std::getenv("HOME")) {
        base = std::filesystem::path(pszHome) / ".config";
    } else {
        base = "/tmp";
    }
    return (base / "quovel" / std::filesystem::path(GetSettingsPath(strExe)).filename()).string();
}
}  // namespace

namespace {
bool CanWrite(const std::string& strFile) {
    const std::filesystem::path folder = std::filesystem::path(strFile).parent_path();
    const std::string strFolder = folder.empty() ? "." : folder.string();
    std::error_code ec;
    if (std::filesystem::exists(strFile, ec)) {
        return ::access(strFile.c_str(), W_OK) == 0;
    }
    return ::access(strFolder.c_str(), W_OK) == 0;
}
}  // namespace

SettingsFiles ChooseSettingsFiles(const std::string& strExe) {
    const std::string strBeside = GetSettingsPath(strExe);
    const std::string strUser = UserSettingsPath(strExe);
    SettingsFiles files;
    files.strWrite = CanWrite(strBeside) ? strBeside : strUser;
    const std::string& strOther = files.strWrite == strBeside ? strUser : strBeside;
    std::error_code ecWrite;
    std::error_code ecOther;
    const auto written = std::filesystem::last_write_time(files.strWrite, ecWrite);
    const auto other = std::filesystem::last_write_time(strOther, ecOther);
    if (ecOther) {
        files.strRead = ecWrite ? std::string() : files.strWrite;
    } else {
        // A file that cannot be written goes on being read only while nothing newer exists.
        files.strRead = !ecWrite && written >= other ? files.strWrite : strOther;
    }
    return files;
}

int32_t ParseSettingNumber(const std::string& strText) {
    uint32_t nValue = 0;  // 32-bit arithmetic keeping the low bits
    bool bStarted = false;
    bool bHex = false;
    bool bNegative = false;
    for (const char c : strText) {
        if (!bStarted) {
            if (c == ' ' || c == '0') {
                continue;
            }
            if (c == '-') {
                bStarted = bNegative = true;
            } else if (c == 'x') {
                bStarted = bHex = true;
            } else if (c >= '1' && c <= '9') {
                bStarted = true;
                nValue = static_cast<uint32_t>(c - '0');
            } else {
                return 0;
            }
            continue;
        }
        uint32_t nDigit = 0;
        if (c >= '0' && c <= '9') {
            nDigit = static_cast<uint32_t>(c - '0');
        } else if (bHex && c >= 'a' && c <= 'f') {
            nDigit = static_cast<uint32_t>(c - 'a' + 10);
        } else if (bHex && c >= 'A' && c <= 'F') {
            nDigit = static_cast<uint32_t>(c - 'A' + 10);
        } else {
            break;
        }
        nValue = nValue * (bHex ? 16u : 10u) + nDigit;
    }
    return static_cast<int32_t>(bNegative ? 0u - nValue : nValue);
}

int ReadKeyValue(const std::string& strLine, const char* pszKey, int32_t* pTarget, int16_t nType) {
    const size_t nAt = strLine.find(pszKey);
    if (nAt == std::string::npos) {
        return 0;
    }
    if ((nType == 0 || nType == 1) && pTarget != nullptr) {
        *pTarget = ParseSettingNumber(strLine.substr(nAt + std::char_traits<char>::length(pszKey)));
    }
    return 1;
}

void ApplySettingsLine(const std::string& strLine) {
    for (const SettingKey* p = SettingsKeyTable; p->pszKey != nullptr; ++p) {
        if (ReadKeyValue(strLine, p->pszKey, p->pTarget, p->nType)) {
            // A value the program never uses (a file edited by hand, or damaged) would be
            // written back as it is: it reads as the field's first value instead.
            if (p->pTarget != nullptr && (*p->pTarget < p->nMin || *p->pTarget > p->nMax)) {
                *p->pTarget = p->nInitial;
            }
            return;
        }
    }
}

std::string FormatSettingLine(const char* pszKey, const int32_t* pTarget, int16_t nType) {
    char sz[64] = "";
    if (nType == 0 && pTarget != nullptr) {
        std::snprintf(sz, sizeof(sz), "%ld", static_cast<long>(*pTarget));
    } else if (nType == 1 && pTarget != nullptr) {
        std::snprintf(sz, sizeof(sz), "0x%lx",
                      static_cast<unsigned long>(static_cast<uint32_t>(*pTarget)));
    }
    return std::string(pszKey) + sz + "\r\n";
}

int LoadSettings(const std::string& strPath) {
    std::ifstream in(strPath, std::ios::binary);
    if (!in) {
        return 0;
    }
    std::string strLine;
    while (std::getline(in, strLine)) {
        if (!strLine.empty() && strLine.back() == '\r') {
            strLine.pop_back();
        }
        ApplySettingsLine(strLine);
    }
    return 1;
}

int SaveSettings(const std::string& strPath, std::string* pstrWhy) {
    const std::filesystem::path folder = std::filesystem::path(strPath).parent_path();
    std::error_code ec;
    if (!folder.empty() && !std::filesystem::exists(folder, ec)) {
        std::filesystem::create_directories(folder, ec);  // the per-user folder, first time
    }
    std::string strText;
    for (const SettingKey* p = SettingsKeyTable; p->pszKey != nullptr; ++p) {
        strText += FormatSettingLine(p->pszKey, p->pTarget, p->nType);
    }
    return platform::WriteFileReplacing(strPath, reinterpret_cast<const uint8_t*>(strText.data()),
                                        strText.size(), pstrWhy, false)
               ? 1
               : 0;
}
