// The built player's tray icon on a private X server and session bus. With a
// StatusNotifierWatcher on the bus (a small one here) the icon registers and
// answers the host's Activate and ContextMenu; without one there is no tray,
// so "Hide in tray" (Esc) minimizes rather than leave the user no window.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <filesystem>

#include "support/run_program.h"
#include "support/temp_folder.h"
#include "support/xvfb.h"
#include "util/atomic_file.h"

namespace tunevale {
namespace {

using test::TXvfb;

// Says a host is there and keeps the services of the items that register.
class TWatcher final : public QDBusVirtualObject {
 public:
  QStringList Items;

  // Qt reads the property through a proxy built from this.
  QString introspect(const QString&) const override {
    return R"(<interface name="org.kde.StatusNotifierWatcher">
  <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
  <property name="IsStatusNotifierHostRegistered" type="b" access="read"/></interface>)";
  }
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    if (message.member() == "RegisterStatusNotifierItem") {
      Items << message.arguments().value(0).toString();
      return connection.send(message.createReply());
    }
    return message.member() == "Get" &&
           connection.send(message.createReply(QVariant::fromValue(QDBusVariant(true))));
  }
};

// Waits while this process goes on answering the bus.
template <class F>
bool Pumping(F done) {
  return test::WaitFor([&] {
    QCoreApplication::processEvents();
    return done();
  });
}

class TrayDBusTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "tray_dbus_tests", *argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
  }
  ~TrayDBusTest() override {
    Player.reset();
    if (Connection) QDBusConnection::disconnectFromBus(Connection->name());
  }

  // Returns the player's main window id once it shows; its tray backdrop is grey.
  std::string Start(bool withWatcher) {
    if (X.Display().empty() || !X.StartWindowManager(Folder / "wm-ready")) return {};
    Bus = std::make_unique<test::TChild>(
        "/usr/bin/dbus-daemon", std::vector<std::string>{"--session", "--nofork", "--print-address=1"},
        std::vector<std::string>{}, Folder / "bus.txt");
    std::string address;
    if (!test::WaitFor(
            [&] { return ReadWholeFile(Folder / "bus.txt", address) && address.find('\n') < 1000; }))
      return {};
    address.resize(address.find('\n'));  // the first line; its messages may follow
    Connection = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(QString::fromStdString(address), QString::number(++Connections)));
    if (withWatcher && !(Connection->registerService("org.kde.StatusNotifierWatcher") &&
                         Connection->registerVirtualObject("/StatusNotifierWatcher", &Watcher)))
      return {};
    const std::string bin = Folder.MakeFolder("bin") + "/tunevale", run = Folder.MakeFolder("run");
    std::filesystem::copy_file(TUNEVALE_PATH, bin);
    Folder.Write(
        "bin/Tunevale.ini",
        "[Tunevale]\nFirstRun=0\nWindowLeft=100\nWindowTop=50\n[Tweaks]\nShowTrayControlsBackground=1\n");
    chmod(run.c_str(), 0700);
    Player = std::make_unique<test::TChild>(
        bin, std::vector<std::string>{},
        std::vector<std::string>{"HOME=" + Folder.MakeFolder("home"), "XDG_RUNTIME_DIR=" + run,
                                 "QT_QPA_PLATFORM=xcb", "DISPLAY=" + X.Display(),
                                 "DBUS_SESSION_BUS_ADDRESS=" + address},
        Folder / "log.txt");
    std::string id;
    Pumping([&] {
      return !(id = X11("xdotool", {"search", "--onlyvisible", "--name", "^Tunevale$"})).empty();
    });
    id = id.substr(0, id.find('\n'));
    X11("xdotool", {"windowfocus", id});
    return id;
  }

  std::string X11(const std::string& program, const std::vector<std::string>& args) {
    int status = 0;
    return test::RunProgram("/usr/bin/" + program, args, status, {{{"DISPLAY", X.Display()}}, nullptr});
  }
  // Whether `seen` holds for at least `need` pixels of the box within the guard time.
  template <class F>
  bool Screen(int x0, int y0, int x1, int y1, int need, F seen) {
    return Pumping([&] {
      const std::string s = X.Grab();
      if (s.size() != size_t(TXvfb::kWidth) * TXvfb::kHeight * 3) return false;
      int count = 0;
      for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
          count += seen(reinterpret_cast<const unsigned char*>(&s[(y * TXvfb::kWidth + x) * 3]));
      return count >= need;
    });
  }
  bool CallItem(const char* member, int x, int y) {
    QDBusMessage call = QDBusMessage::createMethodCall(Watcher.Items.value(0), "/StatusNotifierItem",
                                                       "org.kde.StatusNotifierItem", member);
    call << x << y;
    return Connection->call(call, QDBus::BlockWithGui, 10000).type() == QDBusMessage::ReplyMessage;
  }

  static inline int Connections = 0;
  test::TTempFolder Folder;
  TXvfb X;
  TWatcher Watcher;
  std::unique_ptr<test::TChild> Bus;
  std::unique_ptr<QDBusConnection> Connection;
  std::unique_ptr<test::TChild> Player;  // ends first
};

TEST_F(TrayDBusTest, TheIconRegistersWithTheWatcherAndAnswersActivateAndContextMenu) {
  const std::string window = Start(true);
  ASSERT_FALSE(window.empty());
  ASSERT_TRUE(Pumping([&] { return !Watcher.Items.isEmpty(); }));
  // The tray controls' grey at the bottom right of the screen, above where a taskbar would be.
  const auto trayGrey = [&](bool shown) {
    return Screen(1040, 700, 1270, 760, shown ? 2000 : 230 * 60,
                  [&](const unsigned char* p) { return (p[0] == 0x60 && p[1] == 0x60) == shown; });
  };
  X11("xdotool", {"key", "Escape"});  // into the tray: the controls show for a while
  ASSERT_TRUE(trayGrey(true));
  ASSERT_TRUE(trayGrey(false));
  // Clicked: no hover comes over D-Bus, so the controls show again (and
  // stay while the mouse rests below them).
  X11("xdotool", {"mousemove", "1150", "795"});
  ASSERT_TRUE(CallItem("Activate", 0, 0));
  EXPECT_TRUE(trayGrey(true));
  // The menu opens where the mouse is.
  X11("xdotool", {"mousemove", "300", "300"});
  ASSERT_TRUE(CallItem("ContextMenu", 300, 300));
  EXPECT_TRUE(Screen(320, 305, 360, 325, 400, [](const unsigned char* p) { return p[0] > 150; }));
}

TEST_F(TrayDBusTest, WithoutAWatcherHideInTrayMinimizes) {
  const std::string window = Start(false);
  ASSERT_FALSE(window.empty());
  X11("xdotool", {"key", "Escape"});
  EXPECT_TRUE(Pumping([&] {
    return X11("xprop", {"-id", window, "WM_STATE"}).find("Iconic") != std::string::npos;
  }));
}

}  // namespace
}  // namespace tunevale
