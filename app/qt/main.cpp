// tarvo32: the desktop program. Parses its few options, optionally starts a simulated printer,
// shows the main window with the splash over it, and runs the start-up once the window is up.
#include <QApplication>
#include <QCommandLineParser>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "qt/app_identity.h"
#include "qt/host_hooks.h"
#include "qt/main_window.h"
#include "qt/qt_prompt.h"
#include "qt/screenshot.h"
#include "qt/show_page.h"
#include "qt/splash.h"
#include "tarvo/base/completion.h"
#include "tarvo/base/version.h"
#include "tarvo/kernel.h"
#include "tarvo/sim/simulation.h"

namespace {

constexpr const char* kUsage =
    "usage: tarvo32 [--simulate MODEL] [--prescribed-timing] [--screenshot FILE [--show PAGE]]\n"
    "               [--help] [--version]\n"
    "\n"
    "Configures thermal label printers.\n"
    "\n"
    "  --simulate MODEL    work with a simulated printer of MODEL (e.g. 6220E) on COM1,\n"
    "                      with a private profile, so no real port is touched\n"
    "  --prescribed-timing wait the full prescribed time before every reply, for\n"
    "                      printers that need it (the profile's Timing=Prescribed)\n"
    "  --screenshot FILE   once started, save a picture of the window to FILE (PNG),\n"
    "                      print the status bar's panes and quit; dialogs that open\n"
    "                      meanwhile are saved as FILE-1.png ... and cancelled\n"
    "  --show PAGE         with --screenshot: open PAGE once started and save its\n"
    "                      window instead of the main window (pages: %s)\n"
    "  --help              show this text\n"
    "  --version           show the program's version\n";

struct Options {
    std::string simulate;
    std::string screenshot;
    std::string show;
    bool prescribedTiming = false;
    bool help = false;
    bool version = false;
};

// The options that take a value, and what to say when the value is missing.
struct ValueOption {
    QCommandLineOption option;
    const char* missing;
};

// Reads our options before the window system is reached, so that a wrong option is reported
// even without a display. Options with a single dash are Qt's own (-platform, -style ...): they
// are left to QApplication, and so are the values that follow them.
bool ParseOptions(int argc, char** argv, Options* options, std::string* error) {
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    // Read as long options, Qt's single-dash words come back as unknown names, each of which
    // is checked below, instead of being taken apart into letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{"h", "help"});
    const QCommandLineOption version("version");
    const QCommandLineOption prescribed("prescribed-timing");
    const ValueOption simulate{{"simulate", {}, "MODEL"},
                               "--simulate needs a model name (e.g. 6220E)"};
    const ValueOption screenshot{{"screenshot", {}, "FILE"},
                                 "--screenshot needs a file name (e.g. tarvo32.png)"};
    const std::string pages =
        "--show needs a page name (" + tarvo::app::qt::ShowablePageNames() + ")";
    const ValueOption show{{"show", {}, "PAGE"}, pages.c_str()};
    parser.addOptions({help, version, prescribed, simulate.option, screenshot.option, show.option});
    parser.parse(args);
    // A value option given last has no value; any other parse error is an unknown name.
    for (const ValueOption* o : {&simulate, &screenshot, &show}) {
        if (args.size() > 1 && args.back() == "--" + o->option.names().front()) {
            *error = o->missing;
            return false;
        }
    }
    for (const QString& name : parser.unknownOptionNames()) {
        const QString given = "--" + name;
        if (std::any_of(args.begin(), args.end(), [&given](const QString& arg) {
                return arg == given || arg.startsWith(given + "=");
            })) {
            *error = "unknown option '" + given.toStdString() + "'";
            return false;
        }
    }
    options->help = parser.isSet(help);
    options->version = parser.isSet(version);
    options->prescribedTiming = parser.isSet(prescribed);
    options->simulate = parser.value(simulate.option).toStdString();
    options->screenshot = parser.value(screenshot.option).toStdString();
    options->show = parser.value(show.option).toStdString();
    if (!options->show.empty() && tarvo::app::qt::FindShowablePage(options->show) == nullptr) {
        *error = "unknown page '" + options->show + "'; the pages are " +
                 tarvo::app::qt::ShowablePageNames();
        return false;
    }
    if (!options->show.empty() && options->screenshot.empty()) {
        *error = "--show needs --screenshot FILE";
        return false;
    }
    return true;
}

// Starts the simulated printer and opens the kernel context pointed at it. Returns the context,
// or 0 with *error set.
int StartSimulation(tarvo::sim::Simulation& simulation, const std::string& model,
                    std::string* error) {
    if (!simulation.makePrivateProfile({}, error))
        return 0;
    const int ctx = PCUCfgInit();
    if (ctx == 0) {
        *error = "cannot create a printer context";
        return 0;
    }
    commState comm{};
    PCUGetCommState(ctx, &comm);
    if (!simulation.start(model, comm, false, error))
        return 0;
    PCUInitCommParm(ctx);  // the profile now names the printer's family and device
    return ctx;
}

// `--complete`: the options, the model names --simulate takes and the pages --show opens.
int CompleteOption(const tarvo::CompletionRequest& request) {
    std::vector<std::string> values;
    if (request.previous() == "--simulate") {
        values = tarvo::ModelNames();
    } else if (request.previous() == "--show") {
        for (const tarvo::app::qt::ShowablePage& page : tarvo::app::qt::ShowablePages())
            values.emplace_back(page.name);
    } else if (request.current().starts_with("-")) {
        values = tarvo::OptionsInText(kUsage);
    }
    tarvo::PrintCompletions(values, request.current());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (const auto request = tarvo::ReadCompletionRequest(argc, argv))
        return CompleteOption(*request);
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "tarvo32: %s (see tarvo32 --help)\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::printf(kUsage, tarvo::app::qt::ShowablePageNames().c_str());
        return 0;
    }
    if (options.version) {
        std::printf("tarvo32 %s\n", tarvo::kVersionText);
        return 0;
    }
    if (options.prescribedTiming)
        PCUSetTiming(PCU_TIMING_PRESCRIBED);
    QApplication app(argc, argv);
    tarvo::app::qt::SetUpApplication(app);
    tarvo::sim::Simulation simulation;
    tarvo::app::AppSession session;
    if (!options.simulate.empty()) {
        session.kernelHandle = StartSimulation(simulation, options.simulate, &error);
        if (session.kernelHandle == 0) {
            std::fprintf(stderr, "tarvo32: %s\n", error.c_str());
            return 1;
        }
    } else {
        tarvo::app::WriteFirstRunDefaults(tarvo::app::SystemMeasurementSystem());
    }

    tarvo::app::qt::QtPrompt prompt(nullptr);
    tarvo::app::Desk desk(session, prompt);
    tarvo::app::qt::MainWindow window(desk);
    prompt.setParent(&window);
    prompt.setStatusSink([&window](const QString& text) { window.showPrompt(text); });
    tarvo::app::qt::InstallQtHostHooks(&window, prompt);
    window.show();
    auto* splash = new tarvo::app::qt::SplashWindow;
    QObject::connect(&window, &tarvo::app::qt::MainWindow::sessionReady, splash, &QWidget::close);
    splash->show();
    if (!options.screenshot.empty()) {
        auto* screenshot = new tarvo::app::qt::ScreenshotRun(
            window, QString::fromLocal8Bit(options.screenshot.c_str()));
        if (!options.show.empty())
            screenshot->showPage(*tarvo::app::qt::FindShowablePage(options.show),
                                 tarvo::app::qt::ShowPageNumber(options.show));
        QObject::connect(&window, &tarvo::app::qt::MainWindow::sessionReady, screenshot,
                         &tarvo::app::qt::ScreenshotRun::finish, Qt::QueuedConnection);
    }
    QTimer::singleShot(0, &window, [&window] { window.startSession(); });
    const int status = app.exec();
    tarvo::app::qt::RemoveQtHostHooks();
    return status;
}
