// The program's own messages: the few words the window shows that the text
// table does not hold (the failure box's labels and the descriptions of the
// window's own failures), kOwnMessages in engine/texts.h.
//
// They follow the same language choice as the text table (German for any
// German locale, English for everyone else) but are kept apart from it, so
// that the table keeps exactly the identifiers it is made of.
#pragma once

#include <QString>

#include "engine/texts.h"
#include "startup/text_table.h"

namespace qm {

enum class OwnMessage {
  FailureReport = own_text::kFailureReport,
  NoHost = own_text::kNoHost,
  NoStartFolder = own_text::kNoStartFolder,
};

QString OwnMessageText(OwnMessage message, startup::TextLanguage language);

// In the user's language.
QString OwnMessageText(OwnMessage message);

}  // namespace qm
