#include "host/sample_vocabulary.h"

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
  v.germanWords = List({
      "Überblick", "Größe", "Straße", "Bürger", "Mädchen", "Öffnungszeiten", "Gemüse",
      "Fußball", "Häuser", "Prüfung", "Rückblick", "für", "über", "schön", "grün", "Wetter",
      "Nachrichten", "Politik", "Wirtschaft", "Börse", "Garten", "Rezept", "Kuchen", "Äpfel",
      "Brötchen", "Zukunft", "Geschichte", "Reise", "Wanderung", "Berge", "Seen", "Städte",
      "Verkehr", "Bahn", "Fahrrad", "Schule", "Universität", "Forschung", "Gesundheit", "Ärzte",
      "Küche", "Möbel", "Umzug", "Steuer", "Erklärung", "Anleitung", "Tipps", "Tricks",
      "neue", "alte", "große", "kleine", "beste", "günstige", "wichtige", "einfache", "und",
      "mit", "ohne", "im", "vom", "zum", "der", "die", "das", "Test", "Vergleich", "Übersicht",
      "Kündigung", "Versicherung", "Öl", "Heizung", "Strom", "Energie", "Maß", "Grüße",
      "Frühling", "Sommer", "Herbst", "Winter", "Januar", "März", "Mai", "Oktober"});
  v.englishWords = List({
      "overview", "guide", "review", "news", "weather", "market", "garden", "recipe", "cake",
      "apples", "future", "history", "travel", "hiking", "mountains", "lakes", "cities",
      "traffic", "railway", "bicycle", "school", "university", "research", "health", "doctors",
      "kitchen", "furniture", "moving", "taxes", "return", "how", "to", "tips", "tricks", "new",
      "old", "big", "small", "best", "cheap", "important", "simple", "and", "with", "without",
      "in", "of", "the", "a", "for", "test", "comparison", "insurance", "heating", "power",
      "energy", "spring", "summer", "autumn", "winter", "January", "March", "May", "October",
      "café", "naïve", "résumé", "update", "release", "notes", "interview", "report"});
  v.germanFolderWords = List({
      "Reisen", "Küche", "Rezepte", "Bücher", "Musik", "Filme", "Arbeit", "Projekte", "Archiv",
      "Finanzen", "Versicherungen", "Gesundheit", "Garten", "Haus", "Auto", "Schule", "Familie",
      "Einkaufen", "Zeitungen", "Nachrichten", "Sport", "Fußball", "Urlaub", "Ämter", "Behörden",
      "Lesen", "Später", "Wichtig", "Verschiedenes", "Technik"});
  v.englishFolderWords = List({
      "Travel", "Kitchen", "Recipes", "Books", "Music", "Movies", "Work", "Projects", "Archive",
      "Finance", "Insurance", "Health", "Garden", "Home", "Car", "School", "Family", "Shopping",
      "Newspapers", "News", "Sports", "Holidays", "Read later", "Important", "Misc", "Tech"});
  v.germanNotes = List({
      "Später lesen.", "Siehe auch die Übersicht.", "Wichtig für die Steuererklärung!",
      "Gelesen am 12.03.", "Quelle geprüft.", "Rezept ausprobieren – gut!",
      "Für das Treffen am Montag.", "Zitat: „Weniger ist mehr.“", "Preis: 19,99 €",
      "Öffnungszeiten beachten.", "Anmerkung: Größe prüfen", "Grüße an alle & bis bald"});
  v.englishNotes = List({
      "Read later.", "See also the overview.", "Important for taxes!", "Read on March 12.",
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
      case u'ä': case u'Ä': piece = QStringLiteral("ae"); break;
      case u'ö': case u'Ö': piece = QStringLiteral("oe"); break;
      case u'ü': case u'Ü': piece = QStringLiteral("ue"); break;
      case u'ß': piece = QStringLiteral("ss"); break;
      case u'é': case u'è': piece = QStringLiteral("e"); break;
      case u'ï': piece = QStringLiteral("i"); break;
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
