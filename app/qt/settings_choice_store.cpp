#include "app/qt/settings_choice_store.h"

#include <iostream>

#include "platform/replaced_file.h"
#include "resources/strings.h"

namespace {
constexpr QSettings::Format kFormat = QSettings::NativeFormat;  // quovel.conf on Linux

QSettings OpenNamedFile() {
    return QSettings(kFormat, QSettings::UserScope, QStringLiteral("quovel"),
                     QStringLiteral("quovel"));
}
}  // namespace

QSettings OpenChoicesFile() {
    const std::string strPath = OpenNamedFile().fileName().toStdString();
    platform::ReplaceLinkByItsContent(strPath);  // one that fails is said when saving
    return OpenNamedFile();
}

void SaveChoicesFile(QSettings& settings) {
    settings.sync();
    static bool bSaid = false;
    if (settings.status() == QSettings::NoError || bSaid) {
        return;
    }
    bSaid = true;
    const std::string strPath = settings.fileName().toStdString();
    std::string strWhy = platform::WhyNotWritable(strPath);
    if (strWhy.empty()) {
        strWhy =
            settings.status() == QSettings::FormatError ? "unreadable contents" : "not written";
    }
    std::cerr << "quovel: " << str::kSettingsNotSaved << " (" << strPath << ": " << strWhy << ")\n";
}

CSettingsChoiceStore::CSettingsChoiceStore() : m_settings(OpenChoicesFile()) {}

CSettingsChoiceStore::~CSettingsChoiceStore() {
    SaveChoicesFile(m_settings);
}

std::optional<int32_t> CSettingsChoiceStore::Read(const char* pszKey) const {
    const QVariant value = m_settings.value(QString::fromUtf8(pszKey));
    bool bOk = false;
    const int nValue = value.toInt(&bOk);
    if (!value.isValid() || !bOk) {
        return std::nullopt;
    }
    return nValue;
}

void CSettingsChoiceStore::Write(const char* pszKey, int32_t nValue) {
    m_settings.setValue(QString::fromUtf8(pszKey), nValue);
}
