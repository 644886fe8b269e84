#include "app/qt/settings_recent_files.h"

#include <QSettings>
#include <algorithm>

#include "app/qt/settings_choice_store.h"

#include "resources/strings.h"

namespace {
const char* const kGroup = "Recent File List";
}  // namespace

namespace {
std::vector<std::string> ReadEntries(QSettings& settings) {
    std::vector<std::string> entries;
    settings.beginGroup(kGroup);
    for (size_t i = 1; i <= CSettingsRecentFiles::kMaxEntries; ++i) {
        const QString strPath = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!strPath.isEmpty()) {
            entries.push_back(strPath.toStdString());
        }
    }
    settings.endGroup();
    return entries;
}
}  // namespace

CSettingsRecentFiles::CSettingsRecentFiles() {
    QSettings settings = OpenChoicesFile();
    m_entries = ReadEntries(settings);
    if (m_entries.empty()) {
        // A list kept where earlier versions kept it is taken over.
        QSettings earlier(str::kRegistryKey, str::kAppTitle);
        m_entries = ReadEntries(earlier);
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
    QSettings settings = OpenChoicesFile();
    settings.beginGroup(kGroup);
    settings.remove("");
    for (size_t i = 0; i < m_entries.size(); ++i) {
        settings.setValue(QStringLiteral("File%1").arg(i + 1),
                          QString::fromStdString(m_entries[i]));
    }
}
