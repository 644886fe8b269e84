#pragma once
// Dialogs the logic needs from the windowing side: Qt in the program, scripted in tests.
#include <optional>
#include <string>

namespace fw {

class UiServices {
  public:
    virtual ~UiServices() = default;
    // An open-file chooser. pszFilter is "description|pattern;pattern|...||".
    // Returns the chosen path, or nothing when the user cancels.
    virtual std::optional<std::string> ChooseOpenFile(const char* pszFilter,
                                                      const char* pszDefaultExt) = 0;
    // A save-file chooser: no question before an existing file is replaced; the default
    // extension is added to a name typed without one. Nothing when the user cancels.
    virtual std::optional<std::string> ChooseSaveFile(const char* pszFilter,
                                                      const char* pszDefaultExt) = 0;
    // A message box with an OK button.
    virtual void MessageBox(const std::string& strText) = 0;
    // A message box that warns of something done in part (frames replaced in a conversion
    // that was written): unlike MessageBox, not a failure.
    virtual void Warn(const std::string& strText) { MessageBox(strText); }
    // A question with Yes and No buttons; true for Yes.
    virtual bool AskYesNo(const std::string& strQuestion) = 0;
};

// The recent-file list ("最近使ったﾌｧｲﾙ"): the most recent first, four entries at most.
class IRecentFileList {
  public:
    virtual ~IRecentFileList() = default;
    virtual void Add(const std::string& strPath) = 0;
};

}  // namespace fw
