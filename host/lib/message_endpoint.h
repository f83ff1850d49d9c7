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

  // Starts listening under the window caption, in the user's private
  // runtime folder (platform/host_window.h says which). A stale socket left
  // by a crashed host is removed first. False, with ErrorString(), on
  // failure, also when the folder is not the user's alone.
  bool Listen(const QString& caption = QString::fromLatin1(kMessageWindowCaption));
  QString ErrorString() const;
  // Where Listen put the socket; empty before, or when it found no folder.
  QString Path() const { return path_; }

 Q_SIGNALS:
  void CommandReceived(const QString& command);

 private:
  void Accept();
  void Drain(QLocalSocket* socket);

  QLocalServer* server_;
  QString path_;
  QString error_;
};

}  // namespace qm::host
