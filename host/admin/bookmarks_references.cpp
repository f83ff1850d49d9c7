#include "host/admin/bookmarks_references.h"

#include <QHash>

#include <array>

#include "host/admin/bookmarks_charset_tables.h"

namespace qm::host::html {

namespace {

// Named references of U+00A0 to U+00FF, in code point order.
constexpr std::array<const char*, 96> kLatin1Names = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

struct NamedReference {
  const char* name;
  char16_t value;
};

constexpr NamedReference kOtherNames[] = {
    {"amp", u'&'},      {"lt", u'<'},       {"gt", u'>'},       {"quot", u'"'},
    {"apos", u'\''},    {"euro", 0x20AC},   {"ndash", 0x2013},  {"mdash", 0x2014},
    {"lsquo", 0x2018},  {"rsquo", 0x2019},  {"sbquo", 0x201A},  {"ldquo", 0x201C},
    {"rdquo", 0x201D},  {"bdquo", 0x201E},  {"hellip", 0x2026}, {"bull", 0x2022},
    {"trade", 0x2122},  {"dagger", 0x2020}, {"Dagger", 0x2021}, {"permil", 0x2030},
    {"lsaquo", 0x2039}, {"rsaquo", 0x203A}, {"OElig", 0x0152},  {"oelig", 0x0153},
    {"Scaron", 0x0160}, {"scaron", 0x0161}, {"Yuml", 0x0178},   {"fnof", 0x0192},
    {"circ", 0x02C6},   {"tilde", 0x02DC},  {"ensp", 0x2002},   {"emsp", 0x2003},
    {"thinsp", 0x2009}, {"zwnj", 0x200C},   {"zwj", 0x200D},    {"lrm", 0x200E},
    {"rlm", 0x200F},    {"larr", 0x2190},   {"uarr", 0x2191},   {"rarr", 0x2192},
    {"darr", 0x2193},   {"hearts", 0x2665}, {"minus", 0x2212},  {"prime", 0x2032}};

const QHash<QString, char16_t>& NamedReferences() {
  static const QHash<QString, char16_t> table = [] {
    QHash<QString, char16_t> t;
    for (std::size_t i = 0; i < kLatin1Names.size(); ++i) {
      t.insert(QString::fromLatin1(kLatin1Names[i]), static_cast<char16_t>(0xA0 + i));
    }
    for (const auto& ref : kOtherNames) {
      t.insert(QString::fromLatin1(ref.name), ref.value);
    }
    return t;
  }();
  return table;
}

}  // namespace

char16_t NamedReference(const QString& name) { return NamedReferences().value(name, 0); }

char16_t Windows1252High(unsigned char byte) {
  return byte >= 0x80 && byte <= 0x9F ? charsets::kWindows1252.upper[byte - 0x80] : byte;
}

}  // namespace qm::host::html
