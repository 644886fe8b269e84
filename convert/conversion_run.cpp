#include "convert/conversion_run.h"

#include <algorithm>
#include <filesystem>

#include "convert/avi_writer.h"
#include "convert/convert_settings.h"
#include "convert/convert_settings_editor.h"
#include "framework/ui_services.h"
#include "playback/failure_texts.h"
#include "playback/frame_grabber.h"
#include "playback/quovel_doc.h"
#include "resources/strings.h"
#include "resources/text_format.h"
#include "state/app_state.h"

void CConversionRun::Start() {
    if (AppState.bConverting) {
        return;
    }
    auto path = m_ui.ChooseSaveFile(str::kSaveFilter, "avi");
    if (!path) {
        return;
    }
    // Creating the destination empties it before the source is read again.
    std::error_code ec;
    if (std::filesystem::equivalent(*path, m_grabber.strFileName, ec)) {
        m_ui.MessageBox(FailureMessage(str::kSourceAsDestination, *path, {}));
        return;
    }
    m_writer.SetFileName(*path);
    ConvertSettings settings = LoadConvertSettings();
    if (m_pSettingsEditor == nullptr || !m_pSettingsEditor->Edit(settings)) {
        m_writer.SetFileName("");
        return;
    }
    int32_t nLength = 0;
    m_grabber.GetStreamLength(nLength);
    ApplyConvertSettings(settings, nLength);
    if (!m_writer.Open(&m_doc, AppState.nVideoWidth, AppState.nVideoHeight)) {
        if (!m_writer.strFailure.empty()) {  // not the compressor dialog cancelled
            m_ui.MessageBox(FailureMessage(str::kWriteFailed, *path, m_writer.strFailure));
        }
        return;
    }
    m_writer.Start();
    m_llWrittenFrom = -1;
    m_llWrittenTo = -1;
    m_bWriteFailed = false;
    m_doc.bConversionCompleted = 0;
    AppState.bConverting = 1;
    if (!m_doc.StartPlayback()) {
        // The source was moved, deleted or no longer decodes: the conversion ends before its
        // first frame, and no empty output stays open to catch the next file's frames.
        m_writer.Discard();
        AppState.bConverting = 0;
        m_doc.UpdateAllViews(nullptr, 0);
        m_ui.MessageBox(FailureMessage(str::kCannotOpenFile, m_grabber.strFileName,
                                       OpenFailureReason(m_grabber.openFailure)));
    }
}

// One tick of a conversion after the fetch; false when the conversion ended on it.
bool CConversionRun::Tick(CFrameGrabber& grabber, bool bNewFrame) {
    if (!grabber.bPlaying) {
        // The source ran out before the range did: what was written is the whole conversion.
        AppState.strTimeText = FormatProgress(static_cast<uint32_t>(AppState.nRangeEnd),
                                              static_cast<uint32_t>(AppState.nRangeEnd));
        TellProgress();
        m_doc.bConversionCompleted = 1;
        m_doc.OnPlayStop();
        return false;
    }
    if (!bNewFrame) {
        return true;  // paused or not settled: the output must not change
    }
    const int nResult = m_writer.WriteFrame();
    TellProgress();
    if (nResult == CAviWriter::kContinue) {
        m_llWrittenTo = grabber.ShownFrameStart();
        m_llWrittenFrom = m_llWrittenFrom < 0 ? m_llWrittenTo : m_llWrittenFrom;
    }
    if (nResult == CAviWriter::kFinished) {
        m_doc.bConversionCompleted = 1;
        m_doc.OnPlayStop();
        return false;
    }
    if (nResult == CAviWriter::kWriteFailed) {
        m_bWriteFailed = true;
        m_doc.OnPlayStop();  // which says so, once
        return false;
    }
    return true;
}

void CConversionRun::TellProgress() const {
    if (m_onProgress) {
        m_onProgress(m_writer.nFrameCount, AppState.strTimeText);
    }
}

bool CConversionRun::End() {
    bool bComplete = true;
    const bool bRan = AppState.bConverting != 0;
    if (bRan) {
        const std::string strDest = m_writer.strFileName;
        bComplete = m_writer.Close() && !m_bWriteFailed;
        if (!bComplete) {
            m_ui.MessageBox(FailureMessage(str::kWriteFailed, strDest, m_writer.strFailure));
        }
    }
    AppState.bConverting = 0;
    if (const platform::UndecodedFrames undecoded = Undecoded();
        bRan && bComplete && undecoded.nCount > 0) {
        m_ui.Warn(UndecodedFramesText(undecoded));
    }
    if (bRan && bComplete && m_writer.llSoundLeftOutUs > 0) {
        m_ui.Warn(
            str::Format(str::kSoundLeftOut, static_cast<double>(m_writer.llSoundLeftOutUs) / 1e6));
    }
    return bComplete;
}

platform::UndecodedFrames CConversionRun::Undecoded() const {
    if (m_llWrittenFrom < 0) {
        return {};
    }
    // A conversion that went all the way answers for its whole range, a damaged end of the
    // source too; one stopped, for the frames it got to.
    const int64_t llRangeEnd =
        m_writer.RunsToSourceEnd()
            ? INT64_MAX
            : (static_cast<int64_t>(AppState.nRangeEnd) + 1) * m_grabber.llTimePerFrame;
    const int64_t llTo = m_doc.bConversionCompleted != 0 ? llRangeEnd : m_llWrittenTo + 1;
    const int64_t llFrom = std::min(
        m_llWrittenFrom, static_cast<int64_t>(AppState.nRangeStart) * m_grabber.llTimePerFrame);
    return platform::UndecodedBetween(m_grabber.UndecodedStarts(), llFrom, llTo);
}

std::string UndecodedFramesText(const platform::UndecodedFrames& undecoded) {
    auto timeText = [](int64_t llUnits) {
        const auto llMs = static_cast<long long>(std::max<int64_t>(llUnits, 0) /
                                                 (platform::kMediaUnitsPerSecond / 1000));
        return str::Format("%lld:%02lld:%02lld.%03lld", llMs / 3'600'000, llMs / 60'000 % 60,
                           llMs / 1000 % 60, llMs % 1000);
    };
    return str::Format(str::kUndecodedFrames, static_cast<long long>(undecoded.nCount),
                       timeText(undecoded.llFirst).c_str(), timeText(undecoded.llLast).c_str());
}

void CConversionRun::EditSettings() {
    ConvertSettings settings = LoadConvertSettings();
    if (m_pSettingsEditor == nullptr || !m_pSettingsEditor->Edit(settings)) {
        return;
    }
    int32_t nLength = 0;
    m_grabber.GetStreamLength(nLength);
    ApplyConvertSettings(settings, nLength);
    m_doc.UpdateAllViews(nullptr, 0);
}
