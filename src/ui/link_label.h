// A label that opens an address when clicked: blue, underlined, with the
// hand cursor and the address as its hint.
#pragma once

#include <QLabel>
#include <functional>

namespace tunevale {

class TLinkLabel final : public QLabel {
 public:
  TLinkLabel(const QString& caption, const QString& address, std::function<void(const QString&)> open,
             QWidget* parent);

  const QString& Address() const { return Target; }

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QString Target;
  std::function<void(const QString&)> Open;
};

}  // namespace tunevale
