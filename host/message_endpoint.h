// The stand-in host's message window: a local socket server that takes the
// command texts the tool puts into the host's text box (one zero-terminated
// message each) and reports each as a signal.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

namespace qm::host {

inline constexpr char kMessageWindowCaption[] = "QMShellCommunicator2006";

class MessageEndpoint : public QObject {
  Q_OBJECT

 public:
  explicit MessageEndpoint(QObject* parent = nullptr);
  ~MessageEndpoint() override;

  // Starts listening under the window caption. A stale socket left by a
  // crashed host is removed first. False, with ErrorString(), on failure.
  bool Listen(const QString& caption = QString::fromLatin1(kMessageWindowCaption));
  QString ErrorString() const;

 Q_SIGNALS:
  void CommandReceived(const QString& command);

 private:
  void Accept();
  void Drain(QLocalSocket* socket);

  QLocalServer* server_;
};

}  // namespace qm::host
