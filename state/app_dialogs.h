#pragma once
// The two small modal dialogs, as the commands see them: Qt in the program, scripted in tests.
#include <cstdint>

class IAppDialogs {
  public:
    virtual ~IAppDialogs() = default;
    virtual void ShowAbout() = 0;
    // "AVI再生設定": true with the edited switches on OK; false (nothing changed) otherwise.
    virtual bool EditPlaySettings(int32_t& bRepeat, int32_t& bVgaMode) = 0;
};
