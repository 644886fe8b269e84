#include "app/qt/settings_recent_files.h"

#include <QSettings>
#include <algorithm>

#include "resources/strings.h"

namespace {
const char* const kGroup = "Recent File List";
}  // namespace

CSettingsRecentFiles::CSettingsRecentFiles() {
    QSettings settings(str::kRegistryKey, str::kAppTitle);
    settings.beginGroup(kGroup);
    for (size_t i = 1; i <= kMaxEntries; ++i) {
        const QString strPath = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!strPath.isEmpty()) {
            m_entries.push_back(strPath.toStdString());
        }
    }
}

void CSettingsRecentFiles::Add(const std::string& strPath) {
    std::erase(m_entries, strPath);
    m_entries.insert(m_entries.begin(), strPath);
    if (m_entries.size() > kMaxEntries) {
        m_entries.resize(kMaxEntries);
    }
    Store();
}

void CSettingsRecentFiles::Remove(const std::string& strPath) {
    if (std::erase(m_entries, strPath) > 0) {
        Store();
    }
}

void CSettingsRecentFiles::Store() const {
    QSettings settings(str::kRegistryKey, str::kAppTitle);
    settings.beginGroup(kGroup);
    settings.remove("");
    for (size_t i = 0; i < m_entries.size(); ++i) {
        settings.setValue(QStringLiteral("File%1").arg(i + 1),
                          QString::fromStdString(m_entries[i]));
    }
}
