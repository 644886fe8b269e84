#pragma once
// Dialog and recent-file services for headless runs (command line, benchmarks): no chooser
// ever answers, messages and recent files go nowhere.
#include "framework/ui_services.h"

namespace fw {

class NullUiServices final : public UiServices {
  public:
    std::optional<std::string> ChooseOpenFile(const char*, const char*) override { return {}; }
    std::optional<std::string> ChooseSaveFile(const char*, const char*) override { return {}; }
    void MessageBox(const std::string&) override {}
    bool AskYesNo(const std::string&) override { return true; }  // nobody to ask: go on
};

class NullRecentFileList final : public IRecentFileList {
  public:
    void Add(const std::string&) override {}
};

}  // namespace fw
