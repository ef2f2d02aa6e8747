// The player's entry: the command line's maintenance switches (install,
// upgrade, uninstall, file associations), the installation wizard for a copy
// that is neither installed nor portable, the single instance (a second start
// hands its files to the running player and ends), then the window around a
// TPlayer on the Qt loop.
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/entry.h"
#include "app/instance.h"
#include "app/player.h"
#include "install/install_locations.h"
#include "install/maintenance.h"
#include "mpris/mpris_adapter.h"
#include "platform/close_signals.h"
#include "platform/curl_http_client.h"
#include "platform/hot_key_port.h"
#include "platform/inotify_folder_watcher.h"
#include "platform/local_socket_players.h"
#include "platform/local_socket_remote_server.h"
#include "platform/posix_process_launcher.h"
#include "platform/qt_mime_type_database.h"
#include "platform/qt_desktop.h"
#include "platform/qt_runtime.h"
#include "platform/qt_socket_watcher.h"
#include "platform/runtime_folder.h"
#include "playback/gst_filter_graph.h"
#include "ui/app_icon.h"
#include "ui/installation_form.h"
#include "ui/introduction_form.h"
#include "ui/main_form.h"
#include "ui/qt_maintenance_view.h"
#include "util/path.h"

using namespace tunevale;

namespace {

std::string WorkingDir() {
  std::string dir(4096, '\0');
  if (!getcwd(dir.data(), dir.size())) return "/";
  dir.resize(std::char_traits<char>::length(dir.c_str()));
  return dir;
}

void SetUpApplication() {
  QApplication::setApplicationName(ApplicationTitle);
  QApplication::setWindowIcon(QIcon(QPixmap::fromImage(AppIconImage(64))));
}

// Without a display the maintenance passes say what they have to on standard error.
bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    if (const char* value = std::getenv(name); value && *value) return true;
  return false;
}

int RunPlayer(int argc, char** argv, const TEntryPlan& plan, TLocalSocketPlayers& players) {
  if (const std::string platform = QtPlatformOverride(ProcessEnvironment()); !platform.empty())
    setenv("QT_QPA_PLATFORM", platform.c_str(), 1);
  QApplication app(argc, argv);
  SetUpApplication();
  TQtRuntime runtime;
  GstFilterGraph graph;
  TCurlHttpClient http(runtime);
  TCurlHttpClient updaterHttp(runtime, UpdaterUserAgent);
  TPosixProcessLauncher launcher;
  std::optional<TInotifyFolderWatcher> folderWatcher;
  try {
    folderWatcher.emplace();
  } catch (const std::exception& error) {
    // Without inotify the library still learns by crawling.
    std::fprintf(stderr, "Tunevale: folder monitoring is off: %s\n", error.what());
  }
  std::unique_ptr<TFdWatcher> folderEvents;
  if (folderWatcher)
    folderEvents = std::make_unique<TFdWatcher>(folderWatcher->Fd(), [&] { folderWatcher->ProcessEvents(); });

  TLocalSocketRemoteServer remoteServer(players);
  std::unique_ptr<TQtSocketWatcher> socketWatcher;
  TPlayer* playerForErrors = nullptr;
  remoteServer.OnListening = [&](TLocalSocketServer& server) {
    server.OnError = [&](const std::exception& e) { playerForErrors->HandleException(e); };
    socketWatcher = std::make_unique<TQtSocketWatcher>(server);
  };

  TQtDesktop desktop;
  const std::unique_ptr<THotKeyPort> hotKeys = CreateHotKeyPort();
  TPlayer player(TPlayerPorts{runtime, graph, http, folderWatcher ? &*folderWatcher : nullptr, &remoteServer,
                              hotKeys.get(), &desktop},
                 plan.Paths);
  playerForErrors = &player;
  graph.SetVideoPlatform(QGuiApplication::platformName().toStdString(),
                         [&player] { return player.Settings().PreferOverlay; });
  // A slow open lets the window and the remote clients go on.
  graph.SetPendingMessagesPump([&runtime] { runtime.ProcessPendingMessages(); });
  graph.OnHandlerError = [&](std::exception_ptr error) {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      player.HandleException(e);
    }
  };

  TMainForm form(player, [&](uintptr_t handle) { graph.SetWindowHandle(handle); });
  TUpdater updater({updaterHttp, launcher, runtime, form}, player.Settings(), plan.Paths,
                   TInstallLocations::For(ProcessEnvironment()).TempDir);
  form.SetUpdater(updater, launcher);
  TCloseSignals closeSignals;
  TFdWatcher closeEvents(closeSignals.Fd(), [&] {
    if (closeSignals.TakeSignal() != 0) form.close();
  });

  const bool firstRun = player.Create(plan.Files);
  // The desktop media controls, once the settings are read; no session bus, no controls.
  TMprisAdapter mpris(player, [&form] {
    form.setWindowState(form.windowState() & ~Qt::WindowMinimized);
    form.show();
    form.raise();
    form.activateWindow();
  });
  // On the first run the introduction shows instead; the window comes with it.
  std::unique_ptr<TIntroductionForm> introduction;
  if (firstRun) {
    const auto help = [&plan](const char* page) {
      return QString::fromStdString(HelpPageUrl(plan.Paths.ProgramDir, page));
    };
    introduction = std::make_unique<TIntroductionForm>(
        form, [&form](int page) { form.ShowSettings(page); },
        TIntroductionForm::TLinks{help("faq.html#library1"), help("faq.html"), help("help.html"),
                                  [&desktop](const QString& url) { desktop.OpenUrl(url.toStdString()); }});
    introduction->show();
  } else {
    form.show();
  }
  // The saved playlist and the library load once the window is on screen.
  // The start-up benchmark reads these marks from standard error ("ready":
  // the playlist is back; "library": the library is loaded and listed).
  const bool traceStartup = std::getenv("TUNEVALE_STARTUP_TRACE") != nullptr;
  if (traceStartup) player.StartUpDone = [] { std::fputs("tunevale-startup: library\n", stderr); };
  QTimer::singleShot(0, &form, [&] {
    if (traceStartup) std::fputs("tunevale-startup: shown\n", stderr);
    if (!player.Terminating()) player.AfterShow();
    if (traceStartup) std::fputs("tunevale-startup: ready\n", stderr);
  });
  const int status = app.exec();
  player.FormDestroy();
  return status;
}

// A maintenance pass, or the installation wizard for the player branch.
int RunInstaller(int argc, char** argv, const TEntryPlan& plan, const std::vector<std::string>& args,
                 TLocalSocketPlayers& players) {
  const bool wizard = plan.Decision.Action == saPlayer;
  std::optional<QApplication> app;
  if (wizard || HasDisplay()) {
    app.emplace(argc, argv);
    SetUpApplication();
  }
  TPosixProcessLauncher launcher;
  TQtMimeTypeDatabase mime;
  TConsoleMaintenanceView console;
  TQtMaintenanceView dialogs;
  TMaintenanceView& view = app ? static_cast<TMaintenanceView&>(dialogs) : console;
  TMaintenanceContext context{plan.Paths, ProcessEnvironment(), players, launcher, mime, AppIconFiles, view};
  if (!wizard) return RunMaintenance(plan.Decision.Action, args, context);
  const TInstallLocations locations = TInstallLocations::For(context.Env);
  TFileExtensions extensions;
  TInstaller installer = MakeInstaller(context, locations, extensions);
  TInstallationForm form(installer, ExtractFileDir(locations.DesktopEntry));
  form.exec();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const std::string workingDir = WorkingDir();
  const TEntryPlan plan = PlanEntry(args, ProcessEnvironment(), RunningExecutablePath(), workingDir);
  try {
    TLocalSocketPlayers players(RuntimeFolder());
    if (plan.Decision.Action != saPlayer || plan.RunWizard)
      return RunInstaller(argc, argv, plan, args, players);
    if (ClaimInstance(players, plan.Decision, args, workingDir) == ioHandedOver) return 0;
    return RunPlayer(argc, argv, plan, players);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "Tunevale: %s\n", error.what());
    return 1;
  }
}
