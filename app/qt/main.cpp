// quovel [FILE]: the desktop program; a file named here opens and plays at once.
// quovel --render ...: the headless picture of one frame (see --render --help).
#include <QApplication>
#include <QFile>

#include "app/qt/desktop_run.h"
#include "cli/convert_command.h"
#include "cli/convert_request.h"
#include "cli/render_command.h"
#include "platform/x11_display.h"
#include "resources/strings.h"

#include <csignal>
#include <cstring>
#include <iostream>

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
                  << cli::RenderUsage() << cli::ConvertUsage();
        return 0;
    }
    // Without a display Qt would abort with a message about its platform plugins.
    if (!platform::DisplayAvailable()) {
        std::cerr << "quovel: " << str::kNoDisplay << "\n";
        return kExitNoDisplay;
    }
    QApplication qtApp(argc, argv);  // takes its own options out of argv
    // The bytes as given: a file name need not be valid in the locale's encoding.
    const std::vector<std::string> args(argv + 1, argv + argc);
    return RunDesktop(args,
                      QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString());
}
