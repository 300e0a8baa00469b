#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QTimer>
#include <clocale>
#include <csignal>
#include <memory>
#include <optional>
#include <string>

#include "app/CommandLine.h"
#include "app/CreateWindows.h"
#include "app/KavrilonApplication.h"
#include "app/LocaleSeparators.h"
#include "app/TAboutBoxKavrilon.h"
#include "app/TKavrilonForm.h"
#include "gui/Placement.h"
#include "gui/QtPrompts.h"
#include "solver/Session.h"
#include "workspace/Prompts.h"
#include "workspace/TemporaryFiles.h"

namespace {

// Qt's platform start-up asks for the user's runtime folder; where
// XDG_RUNTIME_DIR is unset (cron, su) it warns and makes one in /tmp, which a
// drawing without a display never uses. A private folder of the program's
// own stands in for it while the program runs.
class RuntimeFolder {
  public:
    RuntimeFolder() {
        if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
            return;
        const QByteArray temporary = qgetenv("TMPDIR");
        const std::string folder = temporary.isEmpty() ? "/tmp" : temporary.toStdString();
        made_ = kav::MakeTemporaryFolder(folder + "/kavrilon-XXXXXX");
        if (!made_.empty())
            qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(made_));
    }
    ~RuntimeFolder() { kav::RemoveTemporaryFolder(made_); }
    RuntimeFolder(const RuntimeFolder&) = delete;
    RuntimeFolder& operator=(const RuntimeFolder&) = delete;

  private:
    std::string made_;
};

}  // namespace

int main(int argc, char* argv[]) {
    const ClosedDescriptors closed = OpenClosedStandardDescriptors();
    // A write past the file-size limit, or into a pipe whose reader went
    // away, fails with its reason (reported like any other failed write)
    // instead of ending the program; an ending signal first removes the
    // temporary copies of the writes under way.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    kav::RemoveTemporaryFilesOnSignals();
    CommandLine command = ParseCommandLine(std::vector<std::string>(argv, argv + argc));
    command.closed = closed;
    if (command.mode != ProgramMode::Windows) {
        // No window: the command-line modes run without a display. A picture
        // is drawn on Qt's offscreen platform, which needs none either.
        if (!command.picture.file.empty())
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // Qt's own options are the windows'; a -platform here would take the
        // place of the offscreen one and want a display.
        int programNameOnly = 1;
        std::optional<RuntimeFolder> runtime;
        if (!command.picture.file.empty())
            runtime.emplace();
        std::unique_ptr<QCoreApplication> app;
        if (command.picture.file.empty())
            app = std::make_unique<QCoreApplication>(programNameOnly, argv);
        else
            app = std::make_unique<QGuiApplication>(programNameOnly, argv);
        std::setlocale(LC_NUMERIC, "C");
        QCoreApplication::setApplicationName(QStringLiteral("kavrilon"));
        return RunCommandLine(command);
    }

    KavrilonApplication app(argc, argv);
    // Number texts are built with the C library and given the user's
    // separators afterwards, so its own numeric locale must stay "C".
    std::setlocale(LC_NUMERIC, "C");
    // The program's title. It is not set as the display name, which the
    // platform would append to every window caption.
    QApplication::setApplicationName(QStringLiteral("Kavrilon"));
    QApplication::setWindowIcon(QIcon(ProgramPicture(64)));

    // The session this run works with; the windows are handed it.
    QtPrompts prompts;
    kav::Session session(prompts);
    session.separators = LocaleSeparators();
    app.SetErrorPrompts(&prompts);
    kav::SetFatalErrorPrompts(&prompts);

    ProgramWindows windows = CreateWindows(session);
    TKavrilonForm* mainMenu = windows.mainMenu;
    // Queued, so that the main window has finished closing when the loop ends.
    QObject::connect(
        mainMenu, &TKavrilonForm::ProgramEnds, &app, [] { QApplication::exit(0); },
        Qt::QueuedConnection);
    CentreOnScreen(mainMenu);
    CentreOnScreen(windows.aboutBox);
    mainMenu->show();
    // The splash shown while the windows were made stays in front of the menu.
    if (mainMenu->Splash()->isVisible())
        mainMenu->Splash()->raise();
    // A problem named on the command line is loaded as Load Data would, once
    // the main menu is up, with the same messages but no file dialog.
    if (!command.problem.empty()) {
        QTimer::singleShot(0, mainMenu, [mainMenu, &prompts, file = command.problem] {
            kav::GuardHandler(prompts, [&] { mainMenu->LoadStartFile(file); });
        });
    }
    const int exitCode = QApplication::exec();
    DestroyWindows(windows);
    kav::SetFatalErrorPrompts(nullptr);
    app.SetErrorPrompts(nullptr);
    return exitCode;
}
