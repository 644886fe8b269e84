#pragma once
// The document, grabber, writer and conversion run as the window wires them, with the
// scripted stand-ins for everything the user would answer. AppState starts fresh with the
// rig's grabber and writer in it and is fresh again when the rig goes, so fixtures derive
// from it and say only what their cases differ in.
#include "convert/media_session.h"
#include "platform/media_clock.h"
#include "support/fakes.h"

namespace testfakes {

class MediaRig {
  public:
    MediaRig() {
        doc.SetTimerWindow(&timers);
        session.Conversion().SetSettingsEditor(&editor);
    }

    // Opens a file through the open command, then stops it: the state the user is in
    // after choosing a file and pressing stop.
    void OpenStopped(const std::string& strPath) {
        ui.answers.push_back(strPath);
        doc.OnFileOpen();
        doc.OnPlayStop();
        doc.OnPlaybackTick(1);
    }

    ScriptedUi ui;
    FakeRecentFiles recent;
    FakeTimerHost timers;
    ScriptedSettingsEditor editor;
    ScriptedChooser chooser;
    platform::ManualMediaClock clock;
    CMediaSession session{ui, recent, clock, chooser};
    CQuovelDoc& doc = session.Doc();
    CFrameGrabber& grabber = session.Grabber();
    CAviWriter& writer = session.Writer();
};

}  // namespace testfakes
