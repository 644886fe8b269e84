// quovel_window_shot CLIP OUT.png: the main window as a user sees it first, playing CLIP at
// 2× with the position bar, saved as a PNG for the software centre's entry. Run it under a
// display (Xvfb) with a settings folder of its own, so nobody's remembered choices show.
#include <QApplication>
#include <QTranslator>
#include <cstdio>

#include "app/qt/japanese_ui.h"
#include "app/qt/main_frame.h"
#include "app/qt/qt_app_shell.h"
#include "app/qt/qt_ui_services.h"
#include "app/qt/settings_recent_files.h"
#include "app/quovel_app.h"
#include "convert/qt/compressor_dialog.h"
#include "platform/media_clock.h"
#include "resources/command_ids.h"

int main(int argc, char** argv) {
    QApplication qtApp(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s CLIP OUT.png\n", argv[0]);
        return 2;
    }
    UseJapaneseUiFont();
    QTranslator qtTexts;
    InstallJapaneseQtTexts(qtTexts);
    CQtUiServices ui;
    CSettingsRecentFiles recent;  // in the private settings folder the run is given
    platform::ManualMediaClock clock;
    CQtAppShell shell(ui);
    CCompressorDialog chooser;
    CQuovelApp app(shell, ui, recent, clock, chooser);
    if (!app.InitInstance({argv[1]}) || shell.Frame() == nullptr) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    app.Router().Execute(cmd::kZoom2);
    // A few seconds in, paused: the picture, its time and frame number on the bar.
    clock.Advance(3 * platform::kMediaUnitsPerSecond + platform::kMediaUnitsPerSecond / 2);
    app.View().OnTimer(1);
    app.Router().Execute(cmd::kGoPlayPause);
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
    }
    const bool bSaved = shell.Frame()->grab().save(QString::fromLocal8Bit(argv[2]), "PNG");
    shell.DestroyMainFrame();
    app.ExitInstance();
    if (!bSaved) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
