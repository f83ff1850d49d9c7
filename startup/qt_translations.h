// Qt's own words in the user's language: the standard buttons of message
// boxes and dialogs ("Ja"/"Nein", "OK"/"Abbrechen"), the context menus of
// text boxes, the file and folder dialogs.
//
// The program carries Qt's German catalogue inside itself (compiled in at
// build time from the build machine's copy), so it speaks German wherever it
// runs, also where no Qt translations are installed. English needs no
// catalogue: it is the language Qt's words are written in. The language is
// the one the text table chose, so the window never mixes two languages.
#pragma once

#include <QTranslator>

#include <memory>

#include "text/texts.h"

namespace qm::startup {

// The catalogue of Qt's words for a language, loaded from the program's own
// resources; nullptr for English. Throws qm::Error when the program lacks
// the catalogue it was built with (a broken build, never the user's fault).
std::unique_ptr<QTranslator> LoadQtTranslations(TextLanguage language);

// Loads the catalogue for the language and installs it in the application.
// The caller keeps the result for as long as Qt's words should be
// translated; destroying it removes the translation again.
std::unique_ptr<QTranslator> InstallQtTranslations(TextLanguage language);

}  // namespace qm::startup
