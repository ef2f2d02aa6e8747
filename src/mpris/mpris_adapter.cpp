#include "mpris/mpris_adapter.h"

#include <unistd.h>

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
#include <QMimeDatabase>

#include "mpris/mpris_mapping.h"
#include "playback/volume_scale.h"
#include "util/path.h"

namespace tunevale {

namespace {

const QString ObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString RootInterface = QStringLiteral("org.mpris.MediaPlayer2");
const QString PlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString BaseService = QStringLiteral("org.mpris.MediaPlayer2.tunevale");
// Remote commands from here come from no socket connection (those start at 1).
constexpr TConnectionId BusSender = 0;

constexpr const char* InterfacesXml = R"(<interface name="org.mpris.MediaPlayer2">
  <method name="Raise"/>
  <method name="Quit"/>
  <property name="CanQuit" type="b" access="read"/>
  <property name="CanRaise" type="b" access="read"/>
  <property name="HasTrackList" type="b" access="read"/>
  <property name="Identity" type="s" access="read"/>
  <property name="DesktopEntry" type="s" access="read"/>
  <property name="SupportedUriSchemes" type="as" access="read"/>
  <property name="SupportedMimeTypes" type="as" access="read"/>
</interface>
<interface name="org.mpris.MediaPlayer2.Player">
  <method name="Next"/>
  <method name="Previous"/>
  <method name="Pause"/>
  <method name="PlayPause"/>
  <method name="Stop"/>
  <method name="Play"/>
  <method name="Seek"><arg name="Offset" type="x" direction="in"/></method>
  <method name="SetPosition">
    <arg name="TrackId" type="o" direction="in"/>
    <arg name="Position" type="x" direction="in"/>
  </method>
  <method name="OpenUri"><arg name="Uri" type="s" direction="in"/></method>
  <signal name="Seeked"><arg name="Position" type="x"/></signal>
  <property name="PlaybackStatus" type="s" access="read"/>
  <property name="LoopStatus" type="s" access="readwrite"/>
  <property name="Rate" type="d" access="readwrite"/>
  <property name="Shuffle" type="b" access="readwrite"/>
  <property name="Metadata" type="a{sv}" access="read"/>
  <property name="Volume" type="d" access="readwrite"/>
  <property name="Position" type="x" access="read"/>
  <property name="MinimumRate" type="d" access="read"/>
  <property name="MaximumRate" type="d" access="read"/>
  <property name="CanGoNext" type="b" access="read"/>
  <property name="CanGoPrevious" type="b" access="read"/>
  <property name="CanPlay" type="b" access="read"/>
  <property name="CanPause" type="b" access="read"/>
  <property name="CanSeek" type="b" access="read"/>
  <property name="CanControl" type="b" access="read"/>
</interface>
)";

QString Q(const std::string& text) { return QString::fromStdString(text); }

QString UrlOf(const std::string& location) {
  if (IsUrl(location)) return Q(location);
  // A path is bytes: escape them as they are, whatever their encoding.
  return QStringLiteral("file://") +
         QString::fromLatin1(QByteArray::fromStdString(location).toPercentEncoding("/"));
}

QVariantMap MetadataMap(const TMprisMetadata& meta) {
  QVariantMap map;
  map.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(Q(meta.TrackId))));
  if (meta.LengthUs > 0) map.insert(QStringLiteral("mpris:length"), qlonglong(meta.LengthUs));
  const auto text = [&](const char* key, const std::string& value) {
    if (!value.empty()) map.insert(QString::fromLatin1(key), Q(value));
  };
  const auto list = [&](const char* key, const std::string& value) {
    if (!value.empty()) map.insert(QString::fromLatin1(key), QStringList{Q(value)});
  };
  text("xesam:title", meta.Title);
  list("xesam:artist", meta.Artist);
  text("xesam:album", meta.Album);
  list("xesam:albumArtist", meta.AlbumArtist);
  list("xesam:genre", meta.Genre);
  if (meta.TrackNumber > 0) map.insert(QStringLiteral("xesam:trackNumber"), meta.TrackNumber);
  if (!meta.Location.empty()) map.insert(QStringLiteral("xesam:url"), UrlOf(meta.Location));
  return map;
}

// The shared MIME database's types of the extensions; one of our own for an
// extension it does not know, as the file associations name it.
QStringList MimeTypes(const std::vector<std::string>& extensions) {
  const QMimeDatabase database;
  QStringList types;
  for (const std::string& extension : extensions) {
    const QMimeType type =
        database.mimeTypeForFile(QStringLiteral("x.") + Q(extension), QMimeDatabase::MatchExtension);
    const QString name =
        type.isDefault() ? QStringLiteral("application/x-tunevale-") + Q(extension) : type.name();
    if (!types.contains(name)) types.append(name);
  }
  return types;
}

bool TakeName(QDBusConnection& bus, const QString& name) {
  const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply = bus.interface()->registerService(
      name, QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
  return reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered;
}

}  // namespace

TMprisAdapter::TMprisAdapter(TPlayer& player, std::function<void()> raise)
    : Player(player), RaiseWindow(std::move(raise)), Bus(QDBusConnection::sessionBus()) {
  AnnounceTimer.setSingleShot(true);
  AnnounceTimer.setInterval(0);
  AnnounceTimer.callOnTimeout([this] { Announce(); });
  if (!Register()) return;
  Announced = Reader.Read(Player);
  Player.SetPlaybackObserver(this);
  Player.Playlist().AddListener(this);
}

TMprisAdapter::~TMprisAdapter() {
  if (Service.isEmpty()) return;
  Player.SetPlaybackObserver(nullptr);
  Player.Playlist().RemoveListener(this);
  Bus.unregisterService(Service);
  Bus.unregisterObject(ObjectPath);
}

bool TMprisAdapter::Register() {
  if (!Bus.isConnected() || !Bus.registerVirtualObject(ObjectPath, this)) return false;
  // The object is in place before the name shows, so a client that sees the name finds it.
  for (const QString& name :
       {BaseService, BaseService + QStringLiteral(".instance") + QString::number(getpid())}) {
    if (TakeName(Bus, name)) {
      Service = name;
      return true;
    }
  }
  Bus.unregisterObject(ObjectPath);
  return false;
}

QString TMprisAdapter::introspect(const QString&) const { return QString::fromLatin1(InterfacesXml); }

bool TMprisAdapter::handleMessage(const QDBusMessage& message, const QDBusConnection&) {
  if (message.type() != QDBusMessage::MethodCallMessage) return false;
  const QString interface = message.interface();
  if (interface == PropertiesInterface) {
    if (message.member() == QLatin1String("Set"))
      SetProperty(message);
    else
      GetProperty(message);
    return true;
  }
  if (interface == RootInterface || interface == PlayerInterface || interface.isEmpty()) {
    CallMethod(message);
    return true;
  }
  return false;  // introspection and the like: Qt answers from introspect()
}

void TMprisAdapter::CallMethod(const QDBusMessage& message) {
  const QString member = message.member();
  const QString signature = message.signature();
  const QVariantList args = message.arguments();
  const bool none = signature.isEmpty();
  if (none && member == QLatin1String("Raise")) {
    if (RaiseWindow) RaiseWindow();
  } else if (none && member == QLatin1String("Quit")) {
    Answer(message);  // before the loop winds down
    return Player.Guarded([this] { Player.Close(); });
  } else if (none && member == QLatin1String("Next")) {
    Next();
  } else if (none && member == QLatin1String("Previous")) {
    if (Reader.Read(Player).CanGoPrevious) Player.Guarded([this] { Player.Previous(); });
  } else if (none && member == QLatin1String("Pause")) {
    Pause();
  } else if (none && member == QLatin1String("PlayPause")) {
    if (Reader.Read(Player).CanPlay) Player.Guarded([this] { Player.PlayPause(); });
  } else if (none && member == QLatin1String("Stop")) {
    Player.Guarded([this] { Player.Stop(); });
  } else if (none && member == QLatin1String("Play")) {
    Play();
  } else if (signature == QLatin1String("x") && member == QLatin1String("Seek")) {
    Seek(args[0].toLongLong());
  } else if (signature == QLatin1String("ox") && member == QLatin1String("SetPosition")) {
    SetPosition(args[0].value<QDBusObjectPath>().path(), args[1].toLongLong());
  } else if (signature == QLatin1String("s") && member == QLatin1String("OpenUri")) {
    const std::string location = LocationOfUri(args[0].toString().toStdString());
    if (location.empty())
      return Refuse(message, "org.freedesktop.DBus.Error.NotSupported",
                    QStringLiteral("Cannot open this URI"));
    Player.HandleRemoteMessage(BusSender, "play=" + location);
  } else {
    return Refuse(message, "org.freedesktop.DBus.Error.UnknownMethod",
                  QStringLiteral("No such method: ") + member);
  }
  Answer(message);
}

void TMprisAdapter::Play() {
  const TMprisState state = Reader.Read(Player);
  if (state.PlaybackStatus != "Playing" && state.CanPlay) Player.Guarded([this] { Player.PlayPause(); });
}

void TMprisAdapter::Pause() {
  if (Reader.Read(Player).PlaybackStatus == "Playing") Player.Guarded([this] { Player.PlayPause(); });
}

void TMprisAdapter::Next() {
  if (Reader.Read(Player).CanGoNext) Player.Guarded([this] { Player.Next(); });
}

void TMprisAdapter::Seek(int64_t offsetUs) {
  const TMprisState state = Reader.Read(Player);
  if (!state.CanSeek) return;
  const int64_t targetUs = std::max<int64_t>(PositionUs() + offsetUs, 0);
  if (targetUs > state.Metadata.LengthUs)
    Next();
  else
    SeekToMs(static_cast<int32_t>(targetUs / 1000));
}

void TMprisAdapter::SetPosition(const QString& trackId, int64_t positionUs) {
  const TMprisState state = Reader.Read(Player);
  // An id of an entry that no longer plays is stale: the client saw another track.
  if (!state.CanSeek || trackId != Q(state.Metadata.TrackId)) return;
  if (positionUs < 0 || positionUs > state.Metadata.LengthUs) return;
  SeekToMs(static_cast<int32_t>(positionUs / 1000));
}

void TMprisAdapter::SeekToMs(int32_t ms) {
  Player.Guarded([&] {
    Player.Controller().SeekTo(ms);
    Player.Controller().UpdateNowPlayingDisplay(false);
  });
}

int64_t TMprisAdapter::PositionUs() {
  const TPlaybackController& controller = Player.Controller();
  return IsPausedOrPlaying(controller.State()) ? int64_t{controller.PositionMs()} * 1000 : 0;
}

// ---- Properties -------------------------------------------------------------------

QVariantMap TMprisAdapter::Properties(const QString& interface) {
  if (interface == RootInterface) return RootProperties(Reader.Read(Player));
  if (interface == PlayerInterface) return PlayerProperties(Reader.Read(Player));
  return {};
}

QVariantMap TMprisAdapter::RootProperties(const TMprisState& state) const {
  QStringList schemes;
  for (std::string_view scheme : SupportedUriSchemes)
    schemes.append(QString::fromLatin1(scheme.data(), scheme.size()));
  return {{QStringLiteral("CanQuit"), true},
          {QStringLiteral("CanRaise"), true},
          {QStringLiteral("HasTrackList"), false},
          {QStringLiteral("Identity"), QString::fromLatin1(ApplicationTitle)},
          {QStringLiteral("DesktopEntry"), QStringLiteral("tunevale")},
          {QStringLiteral("SupportedUriSchemes"), schemes},
          {QStringLiteral("SupportedMimeTypes"), MimeTypes(state.Extensions)}};
}

QVariantMap TMprisAdapter::PlayerProperties(const TMprisState& state) {
  return {{QStringLiteral("PlaybackStatus"), Q(state.PlaybackStatus)},
          {QStringLiteral("LoopStatus"), Q(state.LoopStatus)},
          {QStringLiteral("Rate"), 1.0},
          {QStringLiteral("MinimumRate"), 1.0},
          {QStringLiteral("MaximumRate"), 1.0},
          // The play order always runs through the playlist as it stands.
          {QStringLiteral("Shuffle"), false},
          {QStringLiteral("Metadata"), MetadataMap(state.Metadata)},
          {QStringLiteral("Volume"), state.Volume},
          {QStringLiteral("Position"), qlonglong(PositionUs())},
          {QStringLiteral("CanGoNext"), state.CanGoNext},
          {QStringLiteral("CanGoPrevious"), state.CanGoPrevious},
          {QStringLiteral("CanPlay"), state.CanPlay},
          {QStringLiteral("CanPause"), state.CanPause},
          {QStringLiteral("CanSeek"), state.CanSeek},
          {QStringLiteral("CanControl"), true}};
}

void TMprisAdapter::GetProperty(const QDBusMessage& message) {
  const QVariantList args = message.arguments();
  const QString signature = message.signature();
  if (message.member() == QLatin1String("GetAll") && signature == QLatin1String("s"))
    return Answer(message, {Properties(args[0].toString())});
  if (message.member() != QLatin1String("Get") || signature != QLatin1String("ss"))
    return Refuse(message, "org.freedesktop.DBus.Error.UnknownMethod", QStringLiteral("No such method"));
  const QVariantMap properties = Properties(args[0].toString());
  const auto found = properties.find(args[1].toString());
  if (found == properties.end())
    return Refuse(message, "org.freedesktop.DBus.Error.UnknownProperty", QStringLiteral("No such property"));
  Answer(message, {QVariant::fromValue(QDBusVariant(*found))});
}

void TMprisAdapter::SetProperty(const QDBusMessage& message) {
  const QVariantList args = message.arguments();
  if (message.signature() != QLatin1String("ssv"))
    return Refuse(message, "org.freedesktop.DBus.Error.InvalidArgs", QStringLiteral("Expected (ssv)"));
  const QString name = args[1].toString();
  const QVariant value = args[2].value<QDBusVariant>().variant();
  if (args[0].toString() != PlayerInterface || !Properties(PlayerInterface).contains(name))
    return Refuse(message, "org.freedesktop.DBus.Error.UnknownProperty", QStringLiteral("No such property"));
  if (name == QLatin1String("Volume")) {
    Player.Guarded([&] { Player.SetVolume(LogVolumeForGain(value.toDouble())); });
  } else if (name == QLatin1String("LoopStatus")) {
    const int mode = PlayModeForLoopStatus(value.toString().toStdString(), Player.Playlist().PlayMode());
    if (mode < 0)
      return Refuse(message, "org.freedesktop.DBus.Error.InvalidArgs", QStringLiteral("No such loop status"));
    Player.Guarded([&] { Player.Playlist().SetPlayMode(static_cast<uint8_t>(mode)); });
  } else if (name == QLatin1String("Shuffle")) {
    // No shuffled play order: asking for one shuffles the playlist once.
    if (value.toBool()) Player.Guarded([this] { Player.Playlist().ShuffleActionExecute(); });
  } else if (name == QLatin1String("Rate")) {
    if (value.toDouble() == 0) Pause();  // the one rate besides 1.0 a client may ask for
  } else {
    return Refuse(message, "org.freedesktop.DBus.Error.PropertyReadOnly",
                  name + QStringLiteral(" is read-only"));
  }
  Answer(message);
}

void TMprisAdapter::Answer(const QDBusMessage& message, const QVariantList& values) {
  if (!message.isReplyRequired()) return;
  QDBusMessage reply = message.createReply(values);
  Bus.send(reply);
}

void TMprisAdapter::Refuse(const QDBusMessage& message, const char* error, const QString& text) {
  Bus.send(message.createErrorReply(QString::fromLatin1(error), text));
}

// ---- Announcements ----------------------------------------------------------------

void TMprisAdapter::Seeked(int32_t) {
  SeekPending = true;
  ScheduleAnnouncement();
}

void TMprisAdapter::ScheduleAnnouncement() {
  if (!AnnounceTimer.isActive()) AnnounceTimer.start();
}

void TMprisAdapter::Announce() {
  if (Player.Controller().IsOpening()) return;  // the end of the open is announced again
  const TMprisState state = Reader.Read(Player);
  const std::vector<TMprisProperty> changed = ChangedProperties(Announced, state);
  Announced = state;
  for (const TMprisInterface interface : {miRoot, miPlayer}) {
    QVariantMap values, announced;
    for (const TMprisProperty& property : changed) {
      if (property.Interface != interface) continue;
      // Read only for an interface with a change: the MIME types are looked up then.
      if (values.isEmpty()) values = interface == miRoot ? RootProperties(state) : PlayerProperties(state);
      const QString name = QString::fromLatin1(property.Name.data(), property.Name.size());
      announced.insert(name, values.value(name));
    }
    if (announced.isEmpty()) continue;
    QDBusMessage signal =
        QDBusMessage::createSignal(ObjectPath, PropertiesInterface, QStringLiteral("PropertiesChanged"));
    signal << (interface == miRoot ? RootInterface : PlayerInterface) << announced << QStringList();
    Bus.send(signal);
  }
  if (std::exchange(SeekPending, false) && state.PlaybackStatus != "Stopped") {
    QDBusMessage signal = QDBusMessage::createSignal(ObjectPath, PlayerInterface, QStringLiteral("Seeked"));
    signal << qlonglong(PositionUs());
    Bus.send(signal);
  }
}

}  // namespace tunevale
