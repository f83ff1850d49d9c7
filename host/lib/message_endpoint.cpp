#include "host/lib/message_endpoint.h"

#include <QByteArray>
#include <QLocalServer>
#include <QLocalSocket>
#include <QVariant>

#include "platform/environment.h"
#include "platform/host_window.h"

namespace qm::host {
namespace {

// A sender that never finishes its message must not make the host keep
// growing a buffer for it.
constexpr qsizetype kMaxMessageBytes = 64 * 1024;
const char kPendingProperty[] = "qmPending";

}  // namespace

MessageEndpoint::MessageEndpoint(QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)) {
  connect(server_, &QLocalServer::newConnection, this, &MessageEndpoint::Accept);
}

MessageEndpoint::~MessageEndpoint() = default;

bool MessageEndpoint::Listen(const QString& caption) {
  QString problem;
  path_ = platform::HostWindowSocketName(caption, &problem);
  if (path_.isEmpty()) {
    error_ = QStringLiteral("no safe folder for the message window: %1").arg(problem);
    return false;
  }
  // The folder is the user's alone, so whatever socket is there was left by
  // a host of the same user.
  QLocalServer::removeServer(path_);
  if (!server_->listen(path_)) {
    error_ = server_->errorString();
    return false;
  }
  error_.clear();
  return true;
}

QString MessageEndpoint::ErrorString() const { return error_; }

void MessageEndpoint::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Drain(socket); });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    Drain(socket);
  }
}

void MessageEndpoint::Drain(QLocalSocket* socket) {
  QByteArray pending = socket->property(kPendingProperty).toByteArray();
  pending.append(socket->readAll());
  qsizetype end = 0;
  while ((end = pending.indexOf('\0')) >= 0) {
    const QByteArray message = pending.left(end);
    pending.remove(0, end + 1);
    if (!message.isEmpty()) {
      Q_EMIT CommandReceived(platform::FromAnsi(message));
    }
  }
  if (pending.size() > kMaxMessageBytes) {
    pending.clear();
    socket->abort();
  }
  socket->setProperty(kPendingProperty, pending);
}

}  // namespace qm::host
