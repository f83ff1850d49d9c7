// The stand-in host's message window on Windows: a real window of the host's
// newer class pair (platform::MessageWindow), owned by the endpoint through
// a child object so that it goes when the endpoint goes.
#include "host/lib/message_endpoint.h"

#include <QVariant>

#include <memory>

#include "platform/environment.h"
#include "platform/error.h"
#include "platform/message_window.h"

namespace qm::host {
namespace {

const char kErrorProperty[] = "qmError";

class WindowOwner : public QObject {
 public:
  WindowOwner(QObject* parent, std::unique_ptr<platform::MessageWindow> window)
      : QObject(parent), window_(std::move(window)) {}

 private:
  std::unique_ptr<platform::MessageWindow> window_;
};

}  // namespace

MessageEndpoint::MessageEndpoint(QObject* parent) : QObject(parent), server_(nullptr) {}

MessageEndpoint::~MessageEndpoint() = default;

bool MessageEndpoint::Listen(const QString& caption) {
  qDeleteAll(findChildren<WindowOwner*>(Qt::FindDirectChildrenOnly));
  try {
    auto window =
        std::make_unique<platform::MessageWindow>(caption, [this](const QByteArray& text) {
          if (!text.isEmpty()) {
            Q_EMIT CommandReceived(platform::FromAnsi(text));
          }
        });
    new WindowOwner(this, std::move(window));
    setProperty(kErrorProperty, QString());
    return true;
  } catch (const Error& error) {
    setProperty(kErrorProperty, error.description());
    return false;
  }
}

QString MessageEndpoint::ErrorString() const { return property(kErrorProperty).toString(); }

}  // namespace qm::host
