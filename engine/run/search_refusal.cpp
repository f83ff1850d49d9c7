#include "engine/run/search_refusal.h"

#include "text/mod_resource.h"

namespace qm {
namespace {

// A position as the user counts characters: from 1, a surrogate pair one.
qlonglong CharacterPosition(const QString& text, qsizetype offset) {
  const QString before = text.left(offset);
  qlonglong position = 1;
  for (qsizetype i = 0; i < before.size(); ++i) {
    if (!(before.at(i).isLowSurrogate() && i > 0 && before.at(i - 1).isHighSurrogate())) {
      ++position;
    }
  }
  return position;
}

}  // namespace

QString SearchProblemNote(const SearchProblem& problem, const QString& searchText,
                          const QString& replaceText, TextLanguage language) {
  if (problem.kind == SearchProblem::Kind::InvalidPattern) {
    return modResource::printf(Text(undo_text::kInvalidPattern, language),
                               {CharacterPosition(searchText, problem.offset), problem.detail});
  }
  return modResource::printf(Text(undo_text::kNoSuchGroup, language),
                             {problem.detail, CharacterPosition(replaceText, problem.offset)});
}

bool SearchAccepted(WindowPort& port, const QString& searchText, const QString& replaceText,
                    const SearchOptions& options, TextLanguage language) {
  const std::optional<SearchProblem> problem = CheckSearch(searchText, replaceText, options);
  if (!problem) {
    return true;
  }
  port.SetNotes(SearchProblemNote(*problem, searchText, replaceText, language));
  if (problem->kind == SearchProblem::Kind::InvalidPattern) {
    port.FocusSearchBox();
  } else {
    port.FocusReplacementBox();
  }
  return false;
}

}  // namespace qm
