// What a command says of a search it cannot run (CheckSearch), before
// anything runs: the note in the window's language with where the fault is,
// as a character position from 1 in the box the user typed it in, and the
// focus on that box (the search box for a bad pattern, the replacement box
// for a group the pattern lacks).
#pragma once

#include <QString>

#include "engine/command/window_port.h"
#include "engine/query/search_options.h"
#include "engine/run/search_pattern.h"
#include "text/texts.h"

namespace qm {

QString SearchProblemNote(const SearchProblem& problem, const QString& searchText,
                          const QString& replaceText, TextLanguage language);

// False, with the note set and the focus moved, when the search cannot run.
// `replaceText` is the replacement the run inserts (empty in remove mode).
bool SearchAccepted(WindowPort& port, const QString& searchText, const QString& replaceText,
                    const SearchOptions& options, TextLanguage language);

}  // namespace qm
