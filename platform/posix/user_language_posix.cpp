#include "platform/user_language.h"

#include <QByteArray>
#include <QString>

namespace qm::platform {

namespace {

constexpr std::uint16_t kEnglishUnitedStates = 0x0409;

struct Locale {
  const char* language;
  const char* territory;
  std::uint16_t langId;
};

// Windows language identifiers of common locales. The first row of each
// language is the one a bare language name ("de") maps to.
constexpr Locale kLocales[] = {
    {"af", "ZA", 0x0436}, {"ar", "SA", 0x0401}, {"ar", "EG", 0x0C01}, {"ar", "AE", 0x3801},
    {"be", "BY", 0x0423}, {"bg", "BG", 0x0402}, {"ca", "ES", 0x0403}, {"cs", "CZ", 0x0405},
    {"cy", "GB", 0x0452}, {"da", "DK", 0x0406}, {"de", "DE", 0x0407}, {"de", "CH", 0x0807},
    {"de", "AT", 0x0C07}, {"de", "LU", 0x1007}, {"de", "LI", 0x1407}, {"el", "GR", 0x0408},
    {"en", "US", 0x0409}, {"en", "GB", 0x0809}, {"en", "AU", 0x0C09}, {"en", "CA", 0x1009},
    {"en", "NZ", 0x1409}, {"en", "IE", 0x1809}, {"en", "ZA", 0x1C09}, {"en", "PH", 0x3409},
    {"en", "IN", 0x4009}, {"en", "SG", 0x4809}, {"es", "ES", 0x0C0A}, {"es", "MX", 0x080A},
    {"es", "CO", 0x240A}, {"es", "AR", 0x2C0A}, {"es", "CL", 0x340A}, {"es", "US", 0x540A},
    {"et", "EE", 0x0425}, {"eu", "ES", 0x042D}, {"fa", "IR", 0x0429}, {"fi", "FI", 0x040B},
    {"fr", "FR", 0x040C}, {"fr", "BE", 0x080C}, {"fr", "CA", 0x0C0C}, {"fr", "CH", 0x100C},
    {"fr", "LU", 0x140C}, {"ga", "IE", 0x083C}, {"gl", "ES", 0x0456}, {"he", "IL", 0x040D},
    {"hi", "IN", 0x0439}, {"hr", "HR", 0x041A}, {"hu", "HU", 0x040E}, {"hy", "AM", 0x042B},
    {"id", "ID", 0x0421}, {"is", "IS", 0x040F}, {"it", "IT", 0x0410}, {"it", "CH", 0x0810},
    {"ja", "JP", 0x0411}, {"ka", "GE", 0x0437}, {"kk", "KZ", 0x043F}, {"ko", "KR", 0x0412},
    {"lb", "LU", 0x046E}, {"lt", "LT", 0x0427}, {"lv", "LV", 0x0426}, {"mk", "MK", 0x042F},
    {"ms", "MY", 0x043E}, {"mt", "MT", 0x043A}, {"nb", "NO", 0x0414}, {"nl", "NL", 0x0413},
    {"nl", "BE", 0x0813}, {"nn", "NO", 0x0814}, {"no", "NO", 0x0414}, {"pl", "PL", 0x0415},
    {"pt", "BR", 0x0416}, {"pt", "PT", 0x0816}, {"rm", "CH", 0x0417}, {"ro", "RO", 0x0418},
    {"ru", "RU", 0x0419}, {"sk", "SK", 0x041B}, {"sl", "SI", 0x0424}, {"sq", "AL", 0x041C},
    {"sv", "SE", 0x041D}, {"sv", "FI", 0x081D}, {"sw", "KE", 0x0441}, {"th", "TH", 0x041E},
    {"tr", "TR", 0x041F}, {"uk", "UA", 0x0422}, {"ur", "PK", 0x0420}, {"vi", "VN", 0x042A},
    {"zh", "CN", 0x0804}, {"zh", "TW", 0x0404}, {"zh", "HK", 0x0C04}, {"zh", "SG", 0x1004},
    {"zh", "MO", 0x1404},
};

}  // namespace

std::uint16_t LangIdFromLocaleName(const QString& localeName) {
  // language[_territory][.codeset][@modifier]; "-" is taken for "_" too.
  QString name = localeName.trimmed();
  for (const QChar stop : {QLatin1Char('.'), QLatin1Char('@')}) {
    const qsizetype at = name.indexOf(stop);
    if (at >= 0) {
      name.truncate(at);
    }
  }
  name.replace(QLatin1Char('-'), QLatin1Char('_'));
  const qsizetype split = name.indexOf(QLatin1Char('_'));
  const QByteArray language = name.left(split < 0 ? name.size() : split).toLower().toLatin1();
  const QByteArray territory = split < 0 ? QByteArray() : name.mid(split + 1).toUpper().toLatin1();

  // "C" and "POSIX" fall through here: no language of the table is named so.
  const Locale* firstOfLanguage = nullptr;
  for (const Locale& locale : kLocales) {
    if (language != locale.language) {
      continue;
    }
    if (firstOfLanguage == nullptr) {
      firstOfLanguage = &locale;
    }
    if (territory.isEmpty() || territory == locale.territory) {
      return locale.langId;
    }
  }
  if (firstOfLanguage == nullptr) {
    return kEnglishUnitedStates;
  }
  // A known language in a region the table lacks: the language with a
  // neutral sublanguage, so that it still counts as that language without
  // passing for its main region.
  return static_cast<std::uint16_t>(firstOfLanguage->langId & 0x03FFu);
}

std::uint16_t GetUserDefaultLangID() {
  // The first of these that is set decides, as the C library decides.
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty()) {
      return LangIdFromLocaleName(value);
    }
  }
  return kEnglishUnitedStates;
}

}  // namespace qm::platform
