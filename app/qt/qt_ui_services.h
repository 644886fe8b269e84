#pragma once
// File choosers and message boxes as Qt dialogs.
#include <QString>

#include "framework/ui_services.h"

class QWidget;

class CQtUiServices final : public fw::UiServices {
  public:
    void SetParentWindow(QWidget* pParent) { m_pParent = pParent; }
    std::optional<std::string> ChooseOpenFile(const char* pszFilter,
                                              const char* pszDefaultExt) override;
    std::optional<std::string> ChooseSaveFile(const char* pszFilter,
                                              const char* pszDefaultExt) override;
    void MessageBox(const std::string& strText) override;
    bool AskYesNo(const std::string& strQuestion) override;

    // "desc|pat;pat|desc|pat||" as Qt's "desc (pat pat);;desc (pat)".
    static QString ToQtFilter(const char* pszFilter);

  private:
    QWidget* m_pParent = nullptr;
};
