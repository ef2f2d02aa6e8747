// The built player's tray icon on a private X server and a private session
// bus. With a StatusNotifierWatcher on the bus (a small one in this test) the
// icon registers as a StatusNotifierItem and answers the host's Activate and
// ContextMenu calls; without one there is no tray, so "Hide in tray"
// minimizes instead of leaving the user without a window.
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

// The host's side of the tray protocol: it says a host is there and keeps
// the services of the items that register.
class TWatcher final : public QDBusVirtualObject {
 public:
  QStringList Items;

  // Read through a proxy built from this, so the properties must be listed.
  QString introspect(const QString&) const override {
    return R"(<interface name="org.kde.StatusNotifierWatcher">
  <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
  <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
  <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
  <property name="ProtocolVersion" type="i" access="read"/>
</interface>)";
  }
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    QVariant value;
    if (message.member() == "RegisterStatusNotifierItem") {
      Items << message.arguments().value(0).toString();
    } else if (message.member() == "Get") {
      const QString name = message.arguments().value(1).toString();
      if (name == "IsStatusNotifierHostRegistered") value = true;
      if (name == "RegisteredStatusNotifierItems") value = Items;
      if (name == "ProtocolVersion") value = 0;
      if (!value.isValid()) return false;
    } else {
      return false;
    }
    connection.send(value.isValid() ? message.createReply(QVariant::fromValue(QDBusVariant(value)))
                                    : message.createReply());
    return true;
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

  // The X server with its window manager, the bus, and the player with its
  // window at 100,50 and the tray's own backdrop (grey) behind its strip.
  void Start(bool withWatcher) {
    ASSERT_FALSE(X.Display().empty());
    ASSERT_TRUE(X.StartWindowManager(Folder / "wm-ready"));
    Bus = std::make_unique<test::TChild>(
        "/usr/bin/dbus-daemon", std::vector<std::string>{"--session", "--nofork", "--print-address=1"},
        std::vector<std::string>{}, Folder / "bus.txt");
    std::string address;
    ASSERT_TRUE(test::WaitFor([&] {
      return ReadWholeFile(Folder / "bus.txt", address) && address.find('\n') != std::string::npos;
    }));
    address.resize(address.find('\n'));
    Connection = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(QString::fromStdString(address), QString::number(++Connections)));
    ASSERT_TRUE(Connection->isConnected());
    if (withWatcher) {
      ASSERT_TRUE(Connection->registerService("org.kde.StatusNotifierWatcher"));
      ASSERT_TRUE(Connection->registerVirtualObject("/StatusNotifierWatcher", &Watcher));
    }
    const std::string bin = Folder.MakeFolder("bin") + "/tunevale", run = Folder.MakeFolder("run");
    std::filesystem::copy_file(TUNEVALE_PATH, bin);
    Folder.Write("bin/Tunevale.ini",
                 "[Tunevale]\nWindowLeft=100\nWindowTop=50\nWindowWidth=400\nWindowHeight=400\n"
                 "[Tweaks]\nShowTrayControlsBackground=1\n");
    chmod(run.c_str(), 0700);
    Player = std::make_unique<test::TChild>(
        bin, std::vector<std::string>{},
        std::vector<std::string>{"HOME=" + Folder.MakeFolder("home"), "XDG_RUNTIME_DIR=" + run,
                                 "QT_QPA_PLATFORM=xcb", "DISPLAY=" + X.Display(),
                                 "DBUS_SESSION_BUS_ADDRESS=" + address},
        Folder / "log.txt");
  }

  std::string Run(const char* program, const std::vector<std::string>& args) {
    int status = 0;
    return test::RunProgram(program, args, status, {{{"DISPLAY", X.Display()}}, nullptr});
  }

  // The main window's X id once it is mapped.
  std::string MainWindow() {
    std::string id;
    Pumping([&] {
      id = Run("/usr/bin/xdotool", {"search", "--onlyvisible", "--name", "^Tunevale$"});
      return !id.empty();
    });
    return id.substr(0, id.find('\n'));
  }

  // Whether `seen` holds for the screen within the guard time.
  template <class F>
  bool Screen(F seen) {
    return Pumping([&] {
      const std::string screen = X.Grab();
      return screen.size() == size_t(TXvfb::kWidth) * TXvfb::kHeight * 3 && seen(screen);
    });
  }
  // Pixels of the tray window's grey in the bottom right corner of the screen.
  static int TrayGrey(const std::string& screen) {
    int grey = 0;
    for (int y = TXvfb::kHeight / 2; y < TXvfb::kHeight; ++y)
      for (int x = TXvfb::kWidth / 2; x < TXvfb::kWidth; ++x) {
        const auto* p =
            reinterpret_cast<const unsigned char*>(screen.data()) + (size_t(y) * TXvfb::kWidth + x) * 3;
        grey += p[0] == 0x60 && p[1] == 0x60 && p[2] == 0x60;
      }
    return grey;
  }
  static bool Light(const std::string& screen, int x, int y) {
    return static_cast<unsigned char>(screen[(size_t(y) * TXvfb::kWidth + x) * 3]) > 150;
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
  std::unique_ptr<test::TChild> Player;  // ends before the bus
};

TEST_F(TrayDBusTest, TheIconRegistersWithTheWatcherAndAnswersActivateAndContextMenu) {
  Start(true);
  ASSERT_TRUE(Pumping([&] { return !Watcher.Items.isEmpty(); }));
  const std::string window = MainWindow();
  ASSERT_FALSE(window.empty());
  Run("/usr/bin/xdotool", {"windowfocus", window});
  Run("/usr/bin/xdotool", {"key", "Escape"});  // hide in the tray: the controls show for a while
  ASSERT_TRUE(Screen([](const std::string& s) { return TrayGrey(s) > 2000; }));
  ASSERT_TRUE(Screen([](const std::string& s) { return TrayGrey(s) == 0; }));
  // A click on the icon: no hover comes over D-Bus, so the controls show
  // again, and stay while the mouse rests below them.
  Run("/usr/bin/xdotool", {"mousemove", "1150", "795"});
  ASSERT_TRUE(CallItem("Activate", 0, 0));
  EXPECT_TRUE(Screen([](const std::string& s) { return TrayGrey(s) > 2000; }));
  // The menu opens where the mouse is.
  Run("/usr/bin/xdotool", {"mousemove", "300", "300"});
  ASSERT_TRUE(CallItem("ContextMenu", 300, 300));
  EXPECT_TRUE(Screen([](const std::string& s) { return Light(s, 330, 310) && Light(s, 360, 330); }));
}

TEST_F(TrayDBusTest, WithoutAWatcherHideInTrayMinimizes) {
  Start(false);
  const std::string window = MainWindow();
  ASSERT_FALSE(window.empty());
  Run("/usr/bin/xdotool", {"windowfocus", window});
  Run("/usr/bin/xdotool", {"key", "Escape"});
  EXPECT_TRUE(Pumping([&] {
    return Run("/usr/bin/xprop", {"-id", window, "WM_STATE"}).find("Iconic") != std::string::npos;
  }));
  EXPECT_TRUE(Watcher.Items.isEmpty());
}

}  // namespace
}  // namespace tunevale
