#include "window/own_messages.h"

namespace qm {

QString OwnMessageText(OwnMessage message, startup::TextLanguage language) {
  return TextIn(kOwnMessages, static_cast<int>(message), language == startup::TextLanguage::German);
}

QString OwnMessageText(OwnMessage message) {
  return OwnMessageText(message, startup::UserTextLanguage());
}

}  // namespace qm
