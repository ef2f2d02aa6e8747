// The desktop media controls: the player on the session bus as
// "org.mpris.MediaPlayer2.tunevale" (a second player adds ".instance<pid>"),
// with the root and the Player interface at /org/mpris/MediaPlayer2. A thin
// view of TPlayer, like the window: properties are read from the player,
// methods run the operations the window's commands run. Without a session
// bus it stays idle and the player runs as before.
//
// Re-entrancy: the player's operations process pending messages, so a call
// can arrive while another runs; each is answered once its operation
// returned. Changes are gathered and announced from the event loop, never
// while an entry opens (its row and its tags disagree until the open ends).
#pragma once

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QTimer>
#include <functional>

#include "app/player.h"
#include "mpris/mpris_state.h"

namespace tunevale {

class TMprisAdapter final : public QDBusVirtualObject, private TPlaybackListener, private TPlaylistListener {
 public:
  // Registers on the session bus. `raise` brings the window to the front.
  // The player must outlive the adapter.
  TMprisAdapter(TPlayer& player, std::function<void()> raise);
  ~TMprisAdapter() override;

  // The bus name taken; empty when there is no bus or no free name.
  const QString& ServiceName() const { return Service; }

  // QDBusVirtualObject: called on the main thread for every message to the object.
  QString introspect(const QString& path) const override;
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

 private:
  bool Register();
  void CallMethod(const QDBusMessage& message);
  void GetProperty(const QDBusMessage& message);
  void SetProperty(const QDBusMessage& message);
  QVariantMap Properties(const QString& interface);
  QVariantMap PlayerProperties(const TMprisState& state);
  QVariantMap RootProperties(const TMprisState& state) const;
  void Answer(const QDBusMessage& message, const QVariantList& values = {});
  void Refuse(const QDBusMessage& message, const char* error, const QString& text);

  // The methods; each does nothing where its Can* flag is false.
  void Play();
  void Pause();
  void Next();
  void Seek(int64_t offsetUs);
  void SetPosition(const QString& trackId, int64_t positionUs);
  void SeekToMs(int32_t ms);
  int64_t PositionUs();

  void ScheduleAnnouncement();
  void Announce();

  // TPlaybackListener.
  void NotifyState(bool, bool, bool) override { ScheduleAnnouncement(); }
  void Seeked(int32_t positionMs) override;
  // TPlaylistListener.
  void PlaylistRowsChanged(const TPlaylistChange&) override { ScheduleAnnouncement(); }
  void PlaylistChanged() override { ScheduleAnnouncement(); }
  void PlayModeChanged(uint8_t) override { ScheduleAnnouncement(); }

  TPlayer& Player;
  std::function<void()> RaiseWindow;
  QDBusConnection Bus;
  QString Service;
  TMprisStateReader Reader;
  TMprisState Announced;  // what clients were last told
  bool SeekPending = false;
  QTimer AnnounceTimer;
};

}  // namespace tunevale
