#pragma once
// Scripted stand-ins for the windowing side, so the document and application run headless.
#include <algorithm>
#include <cstring>
#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <functional>
#include "app/quovel_app.h"
#include "convert/convert_settings_editor.h"
#include "framework/timer_host.h"
#include "framework/ui_services.h"
#include "platform/compressor.h"
#include "platform/dib.h"
#include "platform/sound_output.h"
#include "view/quovel_view.h"

namespace testfakes {

class ScriptedUi final : public fw::UiServices {
  public:
    std::optional<std::string> ChooseOpenFile(const char* pszFilter, const char*) override {
        strLastFilter = pszFilter;
        if (answers.empty()) {
            return std::nullopt;
        }
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    // As the dialogs do: a name typed without an extension gets the default one.
    std::optional<std::string> ChooseSaveFile(const char* pszFilter,
                                              const char* pszDefaultExt) override {
        strLastSaveFilter = pszFilter;
        if (saveAnswers.empty()) {
            return std::nullopt;
        }
        auto answer = saveAnswers.front();
        saveAnswers.pop_front();
        if (answer && std::filesystem::path(*answer).extension().empty()) {
            *answer += std::string(".") + pszDefaultExt;
        }
        return answer;
    }
    void MessageBox(const std::string& strText) override { messages.push_back(strText); }
    bool AskYesNo(const std::string& strQuestion) override {
        questions.push_back(strQuestion);
        return bAnswerYes;
    }

    std::deque<std::optional<std::string>> answers;  // nullopt = the user cancels
    std::deque<std::optional<std::string>> saveAnswers;
    std::string strLastSaveFilter;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    bool bAnswerYes = true;
    std::string strLastFilter;
};

// Timers that tick only when the test says so.
template <class Base>
class TimerBook : public Base {
  public:
    uint32_t SetTimer(uint32_t nId, uint32_t nElapseMs) override {
        timers[nId] = nElapseMs;
        ++nStarts;
        return nId;
    }
    bool KillTimer(uint32_t nId) override { return timers.erase(nId) > 0; }
    bool Running(uint32_t nId = 1) const { return timers.count(nId) != 0; }
    uint32_t Interval(uint32_t nId = 1) const { return timers.at(nId); }

    std::map<uint32_t, uint32_t> timers;
    int nStarts = 0;
};
using FakeTimerHost = TimerBook<fw::ITimerHost>;

class FakeRecentFiles final : public IRecentFileStore {
  public:
    void Add(const std::string& strPath) override {
        std::erase(entries, strPath);
        entries.insert(entries.begin(), strPath);
        if (entries.size() > 4) {
            entries.resize(4);
        }
    }
    const std::vector<std::string>& Entries() const override { return entries; }
    void Remove(const std::string& strPath) override { std::erase(entries, strPath); }
    std::vector<std::string> entries;
};

// A window for the view: records what the view asks of it and owns the fake timers.
class FakeSurface final : public TimerBook<view::IViewSurface> {
  public:
    void ClientSize(int& w, int& h) const override {
        w = nClientW;
        h = nClientH;
    }
    void ScrollPosition(int& x, int& y) const override {
        x = px;
        y = py;
    }
    void SetScrollSizes(int w, int h) override {
        scrollSize = {w, h};
        bFit = false;
        ++nScrollSets;
    }
    void SetScaleToFitSize(int w, int h) override {
        scrollSize = {w, h};
        bFit = true;
        ++nScrollSets;
    }
    void Blit(const uint8_t* pBlock, const view::Rect& dst, const view::Rect& src) override {
        ++nBlits;
        lastDst = dst;
        lastSrc = src;
        // The 24-bit pixels given, as the window would read them from the block.
        dib::BitmapInfoHeader header;
        std::memcpy(&header, pBlock + dib::kInfoHeaderOffset, sizeof(header));
        const size_t nBytes =
            header.biWidth > 0 && header.biHeight > 0
                ? dib::RowBytes24(header.biWidth) * static_cast<size_t>(header.biHeight)
                : 0;
        lastPixels.assign(pBlock + dib::kPixelOffset, pBlock + dib::kPixelOffset + nBytes);
    }
    int nClientW = 640;
    int nClientH = 480;
    int px = 0;
    int py = 0;
    view::Size scrollSize;
    bool bFit = false;
    int nScrollSets = 0;
    int nBlits = 0;
    view::Rect lastDst;
    view::Rect lastSrc;
    std::vector<uint8_t> lastPixels;
};

class FakeFrame final : public view::IViewFrame {
  public:
    int FitWindowToPicture(int nZoom) override {
        ++nFits;
        return nZoom == 0 ? 0 : 1;
    }
    void UpdateToolBarButtons(int nZoom, int bFullScreen) override {
        nToolBarZoom = nZoom;
        bToolBarFullScreen = bFullScreen;
    }
    void SetFullScreen(int bEnter) override { fullScreenCalls.push_back(bEnter); }
    void ShowToolBar(int bShow) override { toolBarCalls.push_back(bShow); }
    void SetStatusText(const std::string& strText) override { strStatus = strText; }
    void ShowConversionProgress(int64_t nDone, int64_t nTotal) override {
        progress = {nDone, nTotal};
    }
    void ShowPlaybackPosition(const view::PlaybackPosition& p) override { position = p; }
    view::PlaybackPosition position;
    int nFits = 0;
    int nToolBarZoom = -99;
    int bToolBarFullScreen = -1;
    std::vector<int> fullScreenCalls;
    std::vector<int> toolBarCalls;
    std::string strStatus;
    std::pair<int64_t, int64_t> progress{0, 0};
};

// A compressor choice the test sets; nothing (a cancel) by default.
class ScriptedChooser final : public platform::ICompressorChooser {
  public:
    std::optional<platform::CompressorChoice> Choose(const dib::BitmapInfoHeader& input,
                                                     const platform::CompressorChoice&) override {
        offered = input;
        return answer;
    }
    std::optional<platform::CompressorChoice> answer;
    dib::BitmapInfoHeader offered;
};

// The settings dialog: OK with the settings a test prepares, or cancel.
class ScriptedSettingsEditor final : public IConvertSettingsEditor {
  public:
    bool Edit(ConvertSettings& settings) override {
        ++nShown;
        if (!bAccept) {
            return false;
        }
        if (edit) {
            edit(settings);
        }
        return true;
    }
    bool bAccept = true;
    std::function<void(ConvertSettings&)> edit;
    int nShown = 0;
};

// A sound device that plays only when told: the test says how much has been heard; it holds
// nCapacity bytes not yet heard and keeps every byte it was given.
class FakeSoundOutput final : public platform::ISoundOutput {
  public:
    bool Start(int nSampleRate, int nChannels) override {
        ++nStarts;
        if (!bDevice) {
            return false;
        }
        nRate = nSampleRate;
        nChans = nChannels;
        bRunning = true;
        llHeardUs = 0;
        written.clear();
        return true;
    }
    void Stop() override {
        bRunning = false;
        ++nStops;
    }
    size_t BytesFree() const override {
        if (!bRunning) {
            return 0;
        }
        const auto nHeard =
            static_cast<size_t>(llHeardUs * nRate / 1'000'000) * 2 * static_cast<size_t>(nChans);
        const size_t nQueued = written.size() - std::min(written.size(), nHeard);
        return nQueued >= nCapacity ? 0 : nCapacity - nQueued;
    }
    size_t Write(const uint8_t* pData, size_t nBytes) override {
        const size_t n = std::min(nBytes, BytesFree());
        written.insert(written.end(), pData, pData + n);
        return n;
    }
    int64_t HeardMicroseconds() const override { return bRunning ? llHeardUs : 0; }
    void SetVolume(double d) override { dVolume = d; }

    bool bDevice = true;
    bool bRunning = false;
    int nRate = 0;
    int nChans = 0;
    int64_t llHeardUs = 0;
    size_t nCapacity = 48000 * 4 / 5;  // 200 ms of 48 kHz stereo
    std::vector<uint8_t> written;
    double dVolume = -1;
    int nStarts = 0;
    int nStops = 0;
};

}  // namespace testfakes
