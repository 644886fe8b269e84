#pragma once
// The desktop program's remembered choices and recent-file list live in one QSettings file,
// $XDG_CONFIG_HOME/quovel/quovel.conf (default ~/.config/quovel/).
#include <QSettings>

#include "app/remembered_choices.h"

// The QSettings file those are kept in. A link in its place is first replaced by a file of
// what it points at: the file is the program's own, and a link's target is left alone.
QSettings OpenChoicesFile();

// Writes out what was set (QSettings replaces the file whole); a file that cannot be written
// is said once a run on standard error.
void SaveChoicesFile(QSettings& settings);

class CSettingsChoiceStore final : public IChoiceStore {
  public:
    CSettingsChoiceStore();
    ~CSettingsChoiceStore() override;
    CSettingsChoiceStore(const CSettingsChoiceStore&) = delete;
    CSettingsChoiceStore& operator=(const CSettingsChoiceStore&) = delete;
    std::optional<int32_t> Read(const char* pszKey) const override;
    void Write(const char* pszKey, int32_t nValue) override;

  private:
    QSettings m_settings;  // written out when the store goes
};
