// The words, sites and phrases the sample generator draws from. All invented
// or ordinary dictionary words; no real site, company or person.
#pragma once

#include <QString>

#include <vector>

namespace qm::host::sample_vocabulary {

struct Site {
  QString name;    // "Example News"
  QString domain;  // "news.example.com"
  bool german = false;
};

// Words for the slots of the phrase patterns of one language.
struct Language {
  std::vector<QString> patterns;  // "{A} {N} im {M}": noun, adjective, verb, month, year
  std::vector<QString> nouns;
  std::vector<QString> adjectives;
  std::vector<QString> verbs;
  std::vector<QString> months;
};

struct Vocabulary {
  std::vector<Site> sites;
  Language german;
  Language english;
  std::vector<QString> germanFolderWords;
  std::vector<QString> englishFolderWords;
  std::vector<QString> germanNotes;  // short comment lines
  std::vector<QString> englishNotes;
  std::vector<QString> plainDomains;  // for documents of no particular site
};

// Built once, on first use; immutable afterwards.
const Vocabulary& Words();

// Lower-case ASCII form for addresses: umlauts spelled out ("ä" as "ae", "ß"
// as "ss"), everything that is no letter or digit becomes "-".
QString Slug(const QString& words);

}  // namespace qm::host::sample_vocabulary
