#include "host/admin/sample_vocabulary.h"

#include <initializer_list>

namespace qm::host::sample_vocabulary {

namespace {

std::vector<QString> List(std::initializer_list<const char*> words) {
  std::vector<QString> result;
  result.reserve(words.size());
  for (const char* w : words) result.push_back(QString::fromUtf8(w));
  return result;
}

Vocabulary Build() {
  Vocabulary v;
  const struct {
    const char* name;
    const char* domain;
    bool german;
  } sites[] = {
      {"Example News", "news.example.com", false},
      {"Beispiel Zeitung", "www.beispiel-zeitung.example", true},
      {"Muster Kurier", "muster-kurier.example", true},
      {"Example Tech Review", "tech.example.org", false},
      {"Musterstadt Anzeiger", "anzeiger.musterstadt.example", true},
      {"Sample Science Weekly", "science.example.net", false},
      {"Beispielhausen Rundschau", "rundschau.beispielhausen.example", true},
      {"Example Travel Guide", "travel.example.com", false},
      {"Kochen bei Mustermann", "kochen.mustermann.example", true},
      {"The Example Forum", "forum.example.org", false},
  };
  for (const auto& s : sites) {
    v.sites.push_back({QString::fromUtf8(s.name), QString::fromUtf8(s.domain), s.german});
  }
  v.german.patterns =
      List({"{A} {N} im {M}", "{N} und {N}: {A} Tipps", "Tipps für {N} und {N}",
            "{N} im Test: {A} {N} im Vergleich", "Übersicht: {N}, {N} und {N}",
            "{N} ohne {N}? {A} Ideen", "Rezept: {N} mit {N}", "Interview zum Thema {N}",
            "{N} in Musterstadt: {A} {N}", "{N} {Y}: {A} {N} für {N}", "Rückblick auf {N} und {N}",
            "{A} {N} – so klappt es", "Warum {N} für {N} wichtig ist", "{N}, {N} & {N}"});
  v.german.nouns = List(
      {"Garten",   "Küche",      "Fahrrad",        "Heizung",      "Strom",      "Steuererklärung",
       "Äpfel",    "Brötchen",   "Kuchen",         "Wanderung",    "Berge",      "Seen",
       "Städte",   "Bahn",       "Schule",         "Universität",  "Forschung",  "Gesundheit",
       "Ärzte",    "Möbel",      "Umzug",          "Versicherung", "Öl",         "Energie",
       "Frühling", "Sommer",     "Herbst",         "Winter",       "Börse",      "Wetter",
       "Politik",  "Wirtschaft", "Fußball",        "Häuser",       "Prüfung",    "Straße",
       "Bürger",   "Gemüse",     "Öffnungszeiten", "Größe",        "Kündigung",  "Zukunft",
       "Reise",    "Verkehr",    "Kinder",         "Maßband",      "Überweisung"});
  v.german.adjectives =
      List({"Neue", "Große", "Kleine", "Beste", "Günstige", "Wichtige", "Einfache", "Schöne",
            "Grüne", "Schnelle", "Gesunde", "Bewährte", "Überraschende", "Praktische", "Frühe"});
  v.german.verbs = List({"planen", "reparieren", "streichen", "kochen", "lagern"});
  v.german.months = List({"Januar", "Februar", "März", "April", "Mai", "Juni", "Juli", "August",
                          "September", "Oktober", "November", "Dezember"});
  v.english.patterns = List(
      {"{A} {N} in {M}", "How to {V} your {N}", "{N} and {N}: {A} tips", "The {A} guide to {N}",
       "{N} review: {A} {N} compared", "Why {N} matters for {N}", "{Y} {N} report",
       "Recipe: {N} with {N}", "Ten {A} ideas for {N}", "Interview: {N} in Exampleville",
       "{N}, {N} & {N}", "{A} {N} – what works", "Release notes: {A} {N}", "When to {V} the {N}"});
  v.english.nouns = List(
      {"garden",    "kitchen",    "bicycle",  "heating",   "power bill", "tax return", "apples",
       "bread",     "cake",       "hiking",   "mountains", "lakes",      "cities",     "railway",
       "school",    "university", "research", "health",    "doctors",    "furniture",  "moving",
       "insurance", "energy",     "spring",   "summer",    "autumn",     "winter",     "market",
       "weather",   "politics",   "economy",  "football",  "houses",     "exams",      "street",
       "café",      "résumé",     "traffic",  "future",    "travel"});
  v.english.adjectives =
      List({"new", "big", "small", "best", "cheap", "important", "simple", "beautiful", "green",
            "fast", "healthy", "surprising", "practical", "naïve", "early"});
  v.english.verbs = List({"fix", "clean", "plan", "improve", "choose", "paint", "insure", "heat",
                          "cook", "store", "repair"});
  v.english.months = List({"January", "February", "March", "April", "May", "June", "July", "August",
                           "September", "October", "November", "December"});
  v.germanFolderWords =
      List({"Reisen",    "Küche",       "Rezepte", "Bücher",   "Musik",          "Filme",
            "Arbeit",    "Projekte",    "Archiv",  "Finanzen", "Versicherungen", "Gesundheit",
            "Garten",    "Haus",        "Auto",    "Schule",   "Familie",        "Einkaufen",
            "Zeitungen", "Nachrichten", "Sport",   "Fußball",  "Urlaub",         "Ämter",
            "Behörden",  "Lesen",       "Später",  "Wichtig",  "Verschiedenes",  "Technik"});
  v.englishFolderWords =
      List({"Travel",   "Kitchen",    "Recipes",   "Books",     "Music",      "Movies", "Work",
            "Projects", "Archive",    "Finance",   "Insurance", "Health",     "Garden", "Home",
            "Car",      "School",     "Family",    "Shopping",  "Newspapers", "News",   "Sports",
            "Holidays", "Read later", "Important", "Misc",      "Tech"});
  v.germanNotes =
      List({"Später lesen.", "Siehe auch die Übersicht.", "Wichtig für die Steuererklärung!",
            "Gelesen am 12.03.", "Quelle geprüft.", "Rezept ausprobieren – gut!",
            "Für das Treffen am Montag.", "Zitat: „Weniger ist mehr.“", "Preis: 19,99 €",
            "Öffnungszeiten beachten.", "Anmerkung: Größe prüfen", "Grüße an alle & bis bald"});
  v.englishNotes =
      List({"Read later.", "See also the overview.", "Important for taxes!", "Read on March 12.",
            "Source checked.", "Try this recipe – good!", "For the meeting on Monday.",
            "Quote: \"Less is more.\"", "Price: $19.99", "Check the opening hours.",
            "Note: <b>bold</b> claims & more", "Tab-separated\tvalues"});
  v.plainDomains = List({"www.example.com", "example.org", "www.example.net", "blog.example.com",
                         "shop.example.org", "wiki.example.net", "files.example",
                         "verein-musterdorf.example", "www.ferienhaus-beispiel.example"});
  return v;
}

}  // namespace

const Vocabulary& Words() {
  static const Vocabulary vocabulary = Build();
  return vocabulary;
}

QString Slug(const QString& words) {
  QString slug;
  slug.reserve(words.size() + 8);
  bool dash = false;
  for (const QChar c : words) {
    QString piece;
    switch (c.unicode()) {
      case u'ä':
      case u'Ä':
        piece = QStringLiteral("ae");
        break;
      case u'ö':
      case u'Ö':
        piece = QStringLiteral("oe");
        break;
      case u'ü':
      case u'Ü':
        piece = QStringLiteral("ue");
        break;
      case u'ß':
        piece = QStringLiteral("ss");
        break;
      case u'é':
      case u'è':
        piece = QStringLiteral("e");
        break;
      case u'ï':
        piece = QStringLiteral("i");
        break;
      default:
        if (c.unicode() < 0x80 && c.isLetterOrNumber()) piece = c.toLower();
        break;
    }
    if (piece.isEmpty()) {
      dash = !slug.isEmpty();
      continue;
    }
    if (dash) slug += u'-';
    dash = false;
    slug += piece;
  }
  return slug;
}

}  // namespace qm::host::sample_vocabulary
