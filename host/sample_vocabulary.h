// The words, sites and phrases the sample generator draws from. All invented
// or ordinary dictionary words; no real site, company or person.
#pragma once

#include <QString>

#include <vector>

namespace qm::host::sample_vocabulary {

struct Site {
  QString name;     // "Example News"
  QString domain;   // "news.example.com"
  bool german = false;
};

struct Vocabulary {
  std::vector<Site> sites;
  std::vector<QString> germanWords;
  std::vector<QString> englishWords;
  std::vector<QString> germanFolderWords;
  std::vector<QString> englishFolderWords;
  std::vector<QString> germanNotes;   // short comment lines
  std::vector<QString> englishNotes;
  std::vector<QString> plainDomains;  // for documents of no particular site
};

// Built once, on first use; immutable afterwards.
const Vocabulary& Words();

// Lower-case ASCII form for addresses: umlauts spelled out ("ä" as "ae", "ß"
// as "ss"), everything that is no letter or digit becomes "-".
QString Slug(const QString& words);

}  // namespace qm::host::sample_vocabulary
