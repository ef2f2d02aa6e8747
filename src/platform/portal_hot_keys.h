// Global hot keys on Wayland through the desktop portal's GlobalShortcuts
// interface: one portal session holds every registered key; a change of the
// set opens a new session with the whole set (the portal binds once per
// session). The desktop decides the actual keys with the user; ours are
// only its preferred triggers. Without the portal on the session bus every
// registration fails quietly.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>
#include <set>

#include "app/hot_keys.h"

class QDBusObjectPath;

namespace tunevale {

class TPortalHotKeys final : public QObject, public THotKeyPort {
  Q_OBJECT

 public:
  explicit TPortalHotKeys(const QDBusConnection& bus);
  ~TPortalHotKeys() override;

  // Whether the session bus offers the GlobalShortcuts portal.
  bool Available() const { return PortalFound; }

  bool Register(const THotKey& key) override;
  void Unregister(int id) override;

 private Q_SLOTS:
  void SessionCreated(uint response, const QVariantMap& results);
  void Activated(const QDBusObjectPath& session, const QString& shortcut, qulonglong timestamp,
                 const QVariantMap& options);

 private:
  void Rebind();
  void CloseSession();
  QString NextToken();

  QDBusConnection Bus;
  bool PortalFound = false;
  bool RebindQueued = false;
  std::set<int> Wanted;
  QString Session;         // the open session's object path, "" for none
  QString PendingRequest;  // the CreateSession request being answered
  int Tokens = 0;
};

}  // namespace tunevale
