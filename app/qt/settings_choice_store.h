#pragma once
// The desktop program's remembered choices and recent-file list live in one QSettings file,
// $XDG_CONFIG_HOME/quovel/quovel.conf (default ~/.config/quovel/).
#include <QSettings>

#include "app/remembered_choices.h"

// The QSettings file those are kept in.
QSettings OpenChoicesFile();

class CSettingsChoiceStore final : public IChoiceStore {
  public:
    CSettingsChoiceStore();
    std::optional<int32_t> Read(const char* pszKey) const override;
    void Write(const char* pszKey, int32_t nValue) override;

  private:
    QSettings m_settings;  // written out when the store goes
};
