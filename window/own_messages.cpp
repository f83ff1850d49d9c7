#include "window/own_messages.h"

namespace qm {
namespace {

struct Row {
  OwnMessage message;
  const char* english;
  const char* german;
};

constexpr Row kRows[] = {
    {OwnMessage::FailureReport, "Error number: %1\nSource: %2\n\n%3",
     "Fehlernummer: %1\nQuelle: %2\n\n%3"},
    {OwnMessage::NoHost,
     "No host application is available: the host is not installed or could not be started.",
     "Keine Host-Anwendung verfügbar: Der Host ist nicht installiert oder konnte nicht "
     "gestartet werden."},
    {OwnMessage::NoStartFolder, "No start folder is chosen.", "Es ist kein Startordner gewählt."},
};

}  // namespace

QString OwnMessageText(OwnMessage message, startup::TextLanguage language) {
  for (const Row& row : kRows) {
    if (row.message == message) {
      return QString::fromUtf8(language == startup::TextLanguage::German ? row.german
                                                                          : row.english);
    }
  }
  // Every enumerator has a row; an unknown value can only come from a cast.
  return QString();
}

QString OwnMessageText(OwnMessage message) {
  return OwnMessageText(message, startup::UserTextLanguage());
}

}  // namespace qm
