#pragma once
// The window's services as the command line's conversion answers them: the dialogs from the
// arguments, messages on standard error, and a timer whose ticks the command drives.
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "cli/arguments.h"
#include "convert/convert_settings_editor.h"
#include "framework/timer_host.h"
#include "framework/ui_services.h"
#include "platform/compressor.h"

namespace cli {

// The window's dialogs, answered from the command line; messages go to standard error.
class CommandLineUi final : public fw::UiServices {
  public:
    CommandLineUi(std::string strSource, std::string strDest, std::ostream& err)
        : m_strSource(std::move(strSource)), m_strDest(std::move(strDest)), m_err(err) {}
    std::optional<std::string> ChooseOpenFile(const char*, const char*) override {
        return m_strSource;
    }
    std::optional<std::string> ChooseSaveFile(const char*, const char*) override {
        return m_strDest;
    }
    void MessageBox(const std::string& strText) override {
        m_err << (bProgressShown ? "\n" : "") << "quovel --convert: " << OnOneLine(strText) << "\n";
        bProgressShown = false;
        ++nMessages;
    }
    // Said once the progress line is done with: a conversion's last words.
    void Warn(const std::string& strText) override { warnings.push_back(strText); }
    bool AskYesNo(const std::string&) override { return true; }  // the command line decided
    int nMessages = 0;
    std::vector<std::string> warnings;
    bool bProgressShown = false;  // a progress line is open on standard error

  private:
    std::string m_strSource;
    std::string m_strDest;
    std::ostream& m_err;
};

class FixedSettings final : public IConvertSettingsEditor {
  public:
    explicit FixedSettings(ConvertSettings settings) : m_settings(settings) {}
    bool Edit(ConvertSettings& settings) override {
        settings = m_settings;
        return true;
    }

  private:
    ConvertSettings m_settings;
};

class FixedChoice final : public platform::ICompressorChooser {
  public:
    explicit FixedChoice(platform::CompressorChoice choice) : m_choice(std::move(choice)) {}
    std::optional<platform::CompressorChoice> Choose(const dib::BitmapInfoHeader&,
                                                     const platform::CompressorChoice&) override {
        return m_choice;
    }

  private:
    platform::CompressorChoice m_choice;
};

// Ticks are driven here, so the timer only records what the document asks for.
class DrivenTimer final : public fw::ITimerHost {
  public:
    uint32_t SetTimer(uint32_t nId, uint32_t nElapseMs) override {
        nInterval = nElapseMs;
        bRunning = true;
        return nId;
    }
    bool KillTimer(uint32_t) override {
        bRunning = false;
        return true;
    }
    uint32_t nInterval = 0;
    bool bRunning = false;
};

}  // namespace cli
