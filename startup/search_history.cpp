#include "startup/search_history.h"

#include "platform/text_fold.h"
#include "support/c_registry.h"

namespace qm {

namespace {

constexpr std::uint16_t kGermanGermany = 0x0407;

cRegistry HistoryAccessor(const QString& settingsKey, platform::RegistryStore& store) {
  cRegistry registry(store);
  registry.SetClassKey(static_cast<std::int32_t>(platform::reg::kCurrentUser));
  registry.SetSectionKey(settingsKey);
  registry.SetValueType(static_cast<std::int32_t>(platform::reg::kSz));
  registry.SetValueKey(QLatin1String(kHistoryValueName));
  return registry;
}

}  // namespace

QString GermanDefaultHistory() {
  // Site names of typical title tails; the news domains are made up.
  static const char* const kEntries[] = {
      "- nachrichten-beispiel.de",
      "- tagesbote-beispiel.de",
      "- morgenpost-muster.de",
      "- weltblick-beispiel.de",
      "abendzeitung-muster.de - ",
      "Druckversion - ",
      "FOCUS Online in Kooperation mit MSN",
      "heise online - ",
  };
  QString value;
  for (const char* entry : kEntries) {
    value += QLatin1String(entry) + QLatin1String(kHistorySeparator);
  }
  return value;
}

QStringList SplitHistoryValue(const QString& value) {
  if (value.isEmpty()) {
    return {};
  }
  QStringList pieces = value.split(QLatin1String(kHistorySeparator));
  pieces.removeLast();
  return pieces;
}

QString BuildHistoryValue(const QStringList& items, const QString& currentText) {
  const QLatin1String separator(kHistorySeparator);
  QString value;
  for (const QString& item : items) {
    value += item + separator;
  }
  // Folding keeps the number of characters, so a match in the folded texts
  // is a match in the originals.
  if (!FoldCase(value).contains(FoldCase(currentText + separator))) {
    value += currentText + separator;
  }
  return value;
}

QStringList LoadSearchHistory(const QString& settingsKey, std::uint16_t userLangId,
                              platform::RegistryStore& store) {
  cRegistry registry = HistoryAccessor(settingsKey, store);
  if (userLangId == kGermanGermany) {
    registry.SetDefault(GermanDefaultHistory());
  }
  // The entries are the user's own text. One with two "%" was stored as an
  // expandable string; expanding it would change the entry behind the
  // user's back, so it is read as written.
  registry.SetExpandStrings(false);
  return SplitHistoryValue(registry.Value().toString());
}

void SaveSearchHistory(const QString& settingsKey, const QStringList& items,
                       const QString& currentText, platform::RegistryStore& store) {
  cRegistry registry = HistoryAccessor(settingsKey, store);
  registry.SetValue(BuildHistoryValue(items, currentText));
}

}  // namespace qm
