// The program's own messages: the few words the window shows that the text
// table does not hold (the failure box's labels and the descriptions of the
// window's own failures), in English and German.
//
// They follow the same language choice as the text table (German for any
// German locale, English for everyone else) but are kept apart from it, so
// that the table keeps exactly the identifiers it is made of.
#pragma once

#include <QString>

#include "startup/text_table.h"

namespace qm {

enum class OwnMessage {
  // The failure box: "%1" the error number, "%2" its source, "%3" its
  // description.
  FailureReport,
  // A command that needs the host when start-up could not create it.
  NoHost,
  // A command that needs a start folder when none could be chosen.
  NoStartFolder,
};

QString OwnMessageText(OwnMessage message, startup::TextLanguage language);

// In the user's language.
QString OwnMessageText(OwnMessage message);

}  // namespace qm
