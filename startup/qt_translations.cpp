#include "startup/qt_translations.h"

#include <QCoreApplication>

#include "platform/error.h"

namespace qm::startup {

std::unique_ptr<QTranslator> LoadQtTranslations(TextLanguage language) {
  if (language == TextLanguage::English) {
    return nullptr;
  }
  // Only the program's own copy: a system copy of another Qt version could
  // translate words this Qt no longer has, or miss new ones.
  const QString catalogue = QStringLiteral(":/qm/translations/qtbase_de.qm");
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(catalogue)) {
    throw Error(ErrorNumber(0x80040000u | 0x0716u), QStringLiteral("QtTranslations"),
                QStringLiteral("The program holds no catalogue %1.").arg(catalogue));
  }
  return translator;
}

std::unique_ptr<QTranslator> InstallQtTranslations(TextLanguage language) {
  std::unique_ptr<QTranslator> translator = LoadQtTranslations(language);
  if (translator) {
    QCoreApplication::installTranslator(translator.get());
  }
  return translator;
}

}  // namespace qm::startup
