#pragma once
// The four-entry recent-file list, kept with the remembered choices (QSettings).
// Loaded once; every addition is written through at once.
#include "app/quovel_app.h"

class CSettingsRecentFiles final : public IRecentFileStore {
  public:
    static constexpr size_t kMaxEntries = 4;
    CSettingsRecentFiles();
    void Add(const std::string& strPath) override;
    void Remove(const std::string& strPath) override;
    const std::vector<std::string>& Entries() const override { return m_entries; }

  private:
    void Store() const;
    std::vector<std::string> m_entries;
};
