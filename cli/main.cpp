// quovel [FILE]: the desktop program; a file named here opens and plays at once.
// quovel --render ...: the headless picture of one frame (see --render --help).
#include <unistd.h>
#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QSocketNotifier>
#include <QStringList>

#include "app/qt/app_dialogs.h"
#include "app/qt/main_frame.h"
#include "app/qt/qt_app_shell.h"
#include "app/qt/qt_ui_services.h"
#include "app/qt/settings_recent_files.h"
#include "app/quovel_app.h"
#include "cli/convert_command.h"
#include "cli/render_command.h"
#include "convert/qt/compressor_dialog.h"
#include "convert/qt/convert_settings_dlg.h"
#include "platform/media_clock.h"
#include "playback/quovel_doc.h"

#include <csignal>
#include <cstring>
#include <iostream>

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
int g_signalPipe[2] = {-1, -1};

extern "C" void OnTerminationSignal(int) {
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(g_signalPipe[1], &c, 1);
}

// SIGINT and SIGTERM close the program as the exit command does: the settings are written
// and a running conversion is completed. The handler only writes to a pipe; the closing
// happens on the user-interface thread.
void CloseOnTerminationSignals(QWidget* pMainWindow) {
    if (::pipe(g_signalPipe) != 0) {
        return;
    }
    auto* pNotifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, pMainWindow);
    QObject::connect(pNotifier, &QSocketNotifier::activated, pMainWindow, [pMainWindow] {
        char c = 0;
        [[maybe_unused]] const auto n = ::read(g_signalPipe[0], &c, 1);
        pMainWindow->close();
    });
    std::signal(SIGINT, OnTerminationSignal);
    std::signal(SIGTERM, OnTerminationSignal);
}

}  // namespace

int main(int argc, char** argv) {
    // A file that reaches the size limit must fail its write, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    if (argc > 1 && std::strcmp(argv[1], "--render") == 0) {
        return cli::RunRender(std::vector<std::string>(argv + 2, argv + argc), std::cout,
                              std::cerr);
    }
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << "quovel " << QUOVEL_VERSION << "\n";
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "--convert") == 0) {
        return cli::RunConvert(std::vector<std::string>(argv + 2, argv + argc), std::cout,
                               std::cerr);
    }
    if (argc > 1 && std::strcmp(argv[1], "--list-codecs") == 0) {
        return cli::RunListCodecs(std::vector<std::string>(argv + 2, argv + argc), std::cout,
                                  std::cerr);
    }
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::cout << "usage: quovel [FILE]   open the window and play FILE\n"
                  << cli::kRenderUsage << cli::kConvertUsage;
        return 0;
    }
    QApplication qtApp(argc, argv);
    UseJapaneseUiFont();

    std::vector<std::string> args;
    const QStringList qtArgs = QCoreApplication::arguments();
    for (qsizetype i = 1; i < qtArgs.size(); ++i) {
        args.push_back(qtArgs[i].toStdString());
    }

    CQtUiServices ui;
    CSettingsRecentFiles recentFiles;
    platform::SteadyMediaClock clock;
    CQtAppShell shell(ui);
    CCompressorDialog chooser;
    CQtAppDialogs dialogs;
    CQuovelApp app(shell, ui, recentFiles, clock, chooser);
    app.SetExecutablePath(QCoreApplication::applicationFilePath().toStdString());
    app.SetDialogs(&dialogs);

    int nResult = 0;
    CConvertSettingsEditor settingsEditor;
    if (app.InitInstance(args)) {
        chooser.SetParentWindow(shell.Frame());
        settingsEditor.SetParentWindow(shell.Frame());
        dialogs.SetParentWindow(shell.Frame());
        app.Doc().SetConvertSettingsEditor(&settingsEditor);
        CloseOnTerminationSignals(shell.Frame());
        nResult = QApplication::exec();
    }
    shell.DestroyMainFrame();
    app.ExitInstance();
    return nResult;
}
