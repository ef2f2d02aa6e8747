#include "platform/qt_runtime.h"

#include <QCoreApplication>
#include <QDateTime>

namespace tunevale {

namespace {

class TQtTimer : public TTimer {
 public:
  explicit TQtTimer(std::function<void()> onTick) : OnTick(std::move(onTick)) {
    QObject::connect(&Timer, &QTimer::timeout, [this] { OnTick(); });
  }
  void SetInterval(int intervalMs) override { Timer.setInterval(intervalMs); }
  int Interval() const override { return Timer.interval(); }
  void SetEnabled(bool enabled) override {
    if (enabled == Timer.isActive()) return;
    if (enabled)
      Timer.start();
    else
      Timer.stop();
  }
  bool Enabled() const override { return Timer.isActive(); }

 private:
  QTimer Timer;
  std::function<void()> OnTick;
};

}  // namespace

TQtRuntime::TQtRuntime() {
  Clock.start();
  IdleTimer.setSingleShot(true);
  IdleTimer.setInterval(0);
  QObject::connect(&IdleTimer, &QTimer::timeout, [this] {
    // The handler may install a new one for the next idle moment.
    auto handler = std::exchange(IdleHandler, nullptr);
    if (handler) handler();
  });
}

TQtRuntime::~TQtRuntime() = default;

double TQtRuntime::Now() const {
  // Days since 1899-12-30 in local time, the stored date-time format.
  const QDateTime now = QDateTime::currentDateTime();
  const qint64 localMs = now.toMSecsSinceEpoch() + qint64(now.offsetFromUtc()) * 1000;
  return 25569.0 + static_cast<double>(localMs) / 86400000.0;
}

std::unique_ptr<TTimer> TQtRuntime::CreateTimer(std::function<void()> onTick) {
  return std::make_unique<TQtTimer>(std::move(onTick));
}

void TQtRuntime::ProcessPendingMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void TQtRuntime::SetIdleHandler(std::function<void()> handler) {
  IdleHandler = std::move(handler);
  IdleTimer.start();
}

void TQtRuntime::ClearIdleHandler() {
  IdleHandler = nullptr;
  IdleTimer.stop();
}

void TQtRuntime::Post(std::function<void()> task) {
  QMetaObject::invokeMethod(&PostTarget, std::move(task), Qt::QueuedConnection);
}

void TQtRuntime::WaitForMessages() {
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

TFdWatcher::TFdWatcher(int fd, std::function<void()> onReadable, bool write)
    : Notifier(fd, write ? QSocketNotifier::Write : QSocketNotifier::Read), OnReadable(std::move(onReadable)) {
  QObject::connect(&Notifier, &QSocketNotifier::activated, [this] { OnReadable(); });
}

TFdWatcher::~TFdWatcher() = default;

}  // namespace tunevale
