#include "platform/portal_hot_keys.h"

#include <unistd.h>

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QTimer>

namespace {

// One entry of BindShortcuts' a(sa{sv}).
struct TPortalShortcut {
  QString Id;
  QVariantMap Options;
};

}  // namespace

Q_DECLARE_METATYPE(TPortalShortcut)

namespace {

QDBusArgument& operator<<(QDBusArgument& argument, const TPortalShortcut& shortcut) {
  argument.beginStructure();
  argument << shortcut.Id << shortcut.Options;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, TPortalShortcut& shortcut) {
  argument.beginStructure();
  argument >> shortcut.Id >> shortcut.Options;
  argument.endStructure();
  return argument;
}

const QString Service = "org.freedesktop.portal.Desktop";
const QString DesktopPath = "/org/freedesktop/portal/desktop";
const QString Interface = "org.freedesktop.portal.GlobalShortcuts";
const QString IdPrefix = "tunevale-";

// The trigger the desktop is asked for, in the portal's own shortcut syntax.
QString PreferredTrigger(const tunevale::THotKey& key) {
  using namespace tunevale;
  QString name;
  if (key.Id >= 'A' && key.Id <= 'Z')
    name = QChar(key.Id - 'A' + 'a');
  else if (key.Id >= vkF8 && key.Id <= vkF10)
    name = QString("F%1").arg(key.Id - 0x70 + 1);
  else if (key.Id == vkMediaNextTrack)
    name = "XF86AudioNext";
  else if (key.Id == vkMediaPrevTrack)
    name = "XF86AudioPrev";
  else if (key.Id == vkMediaStop)
    name = "XF86AudioStop";
  else if (key.Id == vkMediaPlayPause)
    name = "XF86AudioPlay";
  return (key.Modifiers & hmControl ? "CTRL+" : "") + QString(key.Modifiers & hmAlt ? "ALT+" : "") + name;
}

// "FastForwardAction" as "Fast forward", for the desktop's list of shortcuts.
QString Description(const char* action) {
  QString words = QString(action).chopped(6);  // without "Action"
  for (int i = words.size() - 1; i > 0; --i)
    if (words[i].isUpper()) words.replace(i, 1, QString(" ") + words[i].toLower());
  return words;
}

}  // namespace

namespace tunevale {

TPortalHotKeys::TPortalHotKeys(const QDBusConnection& bus) : Bus(bus) {
  qDBusRegisterMetaType<TPortalShortcut>();
  qDBusRegisterMetaType<QList<TPortalShortcut>>();
  if (!Bus.isConnected()) return;
  QDBusMessage version =
      QDBusMessage::createMethodCall(Service, DesktopPath, "org.freedesktop.DBus.Properties", "Get");
  version << Interface << QString("version");
  PortalFound = Bus.call(version, QDBus::Block, 2000).type() == QDBusMessage::ReplyMessage;
  if (PortalFound)
    Bus.connect(Service, DesktopPath, Interface, "Activated", this,
                SLOT(Activated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
}

TPortalHotKeys::~TPortalHotKeys() { CloseSession(); }

bool TPortalHotKeys::Register(const THotKey& key) {
  if (!PortalFound) return false;
  if (!Wanted.insert(key.Id).second) return true;
  if (!RebindQueued) QTimer::singleShot(0, this, [this] { Rebind(); });
  RebindQueued = true;
  return true;
}

void TPortalHotKeys::Unregister(int id) {
  if (Wanted.erase(id) == 0) return;
  if (!RebindQueued) QTimer::singleShot(0, this, [this] { Rebind(); });
  RebindQueued = true;
}

QString TPortalHotKeys::NextToken() { return QString("tunevale%1_%2").arg(getpid()).arg(++Tokens); }

void TPortalHotKeys::Rebind() {
  RebindQueued = false;
  CloseSession();
  if (Wanted.empty()) return;
  const QString token = NextToken();
  // The portal answers on a request object whose path the caller can know in advance.
  const QString sender = Bus.baseService().mid(1).replace('.', '_');
  PendingRequest = DesktopPath + "/request/" + sender + "/" + token;
  Bus.connect(Service, PendingRequest, "org.freedesktop.portal.Request", "Response", this,
              SLOT(SessionCreated(uint, QVariantMap)));
  QDBusMessage create = QDBusMessage::createMethodCall(Service, DesktopPath, Interface, "CreateSession");
  create << QVariantMap{{"handle_token", token}, {"session_handle_token", NextToken()}};
  Bus.asyncCall(create);
}

void TPortalHotKeys::SessionCreated(uint response, const QVariantMap& results) {
  Bus.disconnect(Service, PendingRequest, "org.freedesktop.portal.Request", "Response", this,
                 SLOT(SessionCreated(uint, QVariantMap)));
  PendingRequest.clear();
  const QVariant handle = results.value("session_handle");
  Session = handle.canConvert<QDBusObjectPath>() ? handle.value<QDBusObjectPath>().path() : handle.toString();
  if (response != 0 || Session.isEmpty()) {
    Session.clear();
    return;  // refused: the keys stay unbound, as a refused grab would
  }
  QList<TPortalShortcut> shortcuts;
  for (const THotKey& key : GlobalHotKeys())
    if (Wanted.count(key.Id))
      shortcuts.push_back(
          {IdPrefix + QString::number(key.Id),
           {{"description", Description(key.Action)}, {"preferred_trigger", PreferredTrigger(key)}}});
  QDBusMessage bind = QDBusMessage::createMethodCall(Service, DesktopPath, Interface, "BindShortcuts");
  bind << QVariant::fromValue(QDBusObjectPath(Session)) << QVariant::fromValue(shortcuts) << QString()
       << QVariantMap{{"handle_token", NextToken()}};
  Bus.asyncCall(bind);
}

void TPortalHotKeys::CloseSession() {
  if (!PendingRequest.isEmpty())
    Bus.disconnect(Service, PendingRequest, "org.freedesktop.portal.Request", "Response", this,
                   SLOT(SessionCreated(uint, QVariantMap)));
  PendingRequest.clear();
  if (Session.isEmpty()) return;
  Bus.asyncCall(QDBusMessage::createMethodCall(Service, Session, "org.freedesktop.portal.Session", "Close"));
  Session.clear();
}

void TPortalHotKeys::Activated(const QDBusObjectPath& session, const QString& shortcut, qulonglong,
                               const QVariantMap&) {
  if (session.path() != Session || !shortcut.startsWith(IdPrefix)) return;
  const int id = shortcut.mid(IdPrefix.size()).toInt();
  if (Wanted.count(id) && OnHotKey) OnHotKey(id);
}

}  // namespace tunevale
