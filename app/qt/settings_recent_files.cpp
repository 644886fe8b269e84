#include "app/qt/settings_recent_files.h"

#include <QSettings>
#include <algorithm>

#include "app/qt/settings_choice_store.h"

#include "resources/strings.h"

namespace {
const char* const kGroup = "Recent File List";

// A path is text when it is valid UTF-8; otherwise its bytes are kept as they are, so that
// a name that is not valid in the locale's encoding still opens from the list.
QVariant PathValue(const std::string& strPath) {
    const QByteArray bytes = QByteArray::fromStdString(strPath);
    const QString strText = QString::fromUtf8(bytes);
    return strText.toUtf8() == bytes ? QVariant(strText) : QVariant(bytes);
}

std::string PathOf(const QVariant& value) {
    return value.typeId() == QMetaType::QByteArray ? value.toByteArray().toStdString()
                                                   : value.toString().toStdString();
}

std::vector<std::string> ReadEntries(QSettings& settings) {
    std::vector<std::string> entries;
    settings.beginGroup(kGroup);
    for (size_t i = 1; i <= CSettingsRecentFiles::kMaxEntries; ++i) {
        const std::string strPath = PathOf(settings.value(QStringLiteral("File%1").arg(i)));
        if (!strPath.empty()) {
            entries.push_back(strPath);
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
        settings.setValue(QStringLiteral("File%1").arg(i + 1), PathValue(m_entries[i]));
    }
    settings.endGroup();
    SaveChoicesFile(settings);
}
