#include "app/qt/desktop_run.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

#include "app/qt/app_dialogs.h"
#include "app/qt/main_frame.h"
#include "app/qt/qt_app_shell.h"
#include "app/qt/qt_ui_services.h"
#include "app/qt/settings_recent_files.h"
#include "app/qt/termination_signals.h"
#include "app/quovel_app.h"
#include "convert/qt/compressor_dialog.h"
#include "convert/qt/convert_settings_dlg.h"
#include "platform/media_clock.h"
#include "playback/quovel_doc.h"

namespace {
void UseJapaneseUiFont() {
    // The dialogs are laid out for a Japanese proportional gothic; IPAPGothic has its metrics.
    for (const char* pszFamily : {"IPAPGothic", "IPAPゴシック", "Noto Sans CJK JP"}) {
        if (QFontDatabase::hasFamily(QString::fromUtf8(pszFamily))) {
            QFont font(QString::fromUtf8(pszFamily));
            font.setPointSize(9);
            QApplication::setFont(font);
            return;
        }
    }
}
}  // namespace

int RunDesktop(const std::vector<std::string>& args, const std::string& strExecutablePath) {
    UseJapaneseUiFont();
    CQtUiServices ui;
    CSettingsRecentFiles recentFiles;
    platform::SteadyMediaClock clock;
    CQtAppShell shell(ui);
    CCompressorDialog chooser;
    CQtAppDialogs dialogs;
    CQuovelApp app(shell, ui, recentFiles, clock, chooser);
    app.SetExecutablePath(strExecutablePath);
    app.SetDialogs(&dialogs);

    int nResult = 0;
    CConvertSettingsEditor settingsEditor;
    // From the start: a file named on the command line may already show a message box.
    const CTerminationSignals closeOnSignal([&shell]() -> QWidget* { return shell.Frame(); });
    if (app.InitInstance(args) && !closeOnSignal.Requested()) {
        chooser.SetParentWindow(shell.Frame());
        settingsEditor.SetParentWindow(shell.Frame());
        dialogs.SetParentWindow(shell.Frame());
        app.Doc().SetConvertSettingsEditor(&settingsEditor);
        nResult = QApplication::exec();
    }
    app.Doc().SetConvertSettingsEditor(nullptr);
    shell.DestroyMainFrame();
    app.ExitInstance();
    return nResult;
}
