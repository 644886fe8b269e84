#include "app/qt/desktop_run.h"

#include <QApplication>
#include <QTranslator>

#include "app/qt/app_dialogs.h"
#include "app/qt/japanese_ui.h"
#include "app/qt/main_frame.h"
#include "app/qt/qt_app_shell.h"
#include "app/qt/qt_sound_output.h"
#include "app/qt/qt_ui_services.h"
#include "app/qt/settings_choice_store.h"
#include "app/qt/settings_recent_files.h"
#include "app/qt/termination_signals.h"
#include "app/quovel_app.h"
#include "app/remembered_choices.h"
#include "convert/avi_writer.h"
#include "convert/conversion_run.h"
#include "convert/qt/compressor_dialog.h"
#include "convert/qt/convert_settings_dlg.h"
#include "platform/media_clock.h"
#include "state/app_state.h"

int RunDesktop(const std::vector<std::string>& args, const std::string& strExecutablePath) {
    UseJapaneseUiFont();
    QTranslator qtTexts;
    InstallJapaneseQtTexts(qtTexts);
    CQtUiServices ui;
    CSettingsRecentFiles recentFiles;
    platform::SteadyMediaClock clock;
    CQtAppShell shell(ui);
    CCompressorDialog chooser;
    CQtAppDialogs dialogs;
    CQtSoundOutput sound;  // outlives the application, whose grabber plays into it
    CQuovelApp app(shell, ui, recentFiles, clock, chooser);
    app.SetSoundOutput(&sound);
    app.SetExecutablePath(strExecutablePath);
    app.SetDialogs(&dialogs);
    // The user's levels and conversion choices of the last run, before anything is drawn.
    CSettingsChoiceStore choices;
    platform::CompressorChoice compressor;
    RestoreChoices(choices, compressor);

    int nResult = 0;
    CConvertSettingsEditor settingsEditor;
    // From the start: a file named on the command line may already show a message box.
    const CTerminationSignals closeOnSignal([&shell] {
        if (CMainFrame* pFrame = shell.Frame()) {
            pFrame->CloseWithoutAsking();
        }
    });
    const bool bStarted = app.InitInstance(args);
    if (AppState.pWriter != nullptr) {
        AppState.pWriter->initialChoice = compressor;
    }
    if (bStarted && !closeOnSignal.Requested()) {
        chooser.SetParentWindow(shell.Frame());
        settingsEditor.SetParentWindow(shell.Frame());
        dialogs.SetParentWindow(shell.Frame());
        app.Conversion().SetSettingsEditor(&settingsEditor);
        nResult = QApplication::exec();
        app.Conversion().SetSettingsEditor(nullptr);
    }
    shell.DestroyMainFrame();
    RememberChoices(choices,
                    AppState.pWriter != nullptr ? AppState.pWriter->initialChoice : compressor);
    app.ExitInstance();
    return nResult;
}
