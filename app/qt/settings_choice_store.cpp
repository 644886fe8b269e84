#include "app/qt/settings_choice_store.h"

namespace {
constexpr QSettings::Format kFormat = QSettings::NativeFormat;  // quovel.conf on Linux
}  // namespace

QSettings OpenChoicesFile() {
    return QSettings(kFormat, QSettings::UserScope, QStringLiteral("quovel"),
                     QStringLiteral("quovel"));
}

CSettingsChoiceStore::CSettingsChoiceStore() : m_settings(OpenChoicesFile()) {}

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
