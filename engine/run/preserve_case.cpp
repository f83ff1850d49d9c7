#include "engine/run/preserve_case.h"

#include <QChar>

#include "engine/run/code_point.h"

namespace qm {

namespace {

enum class Shape { AsTyped, Upper, Lower, Capitalised };

bool HasCase(QChar::Category category) {
  return category == QChar::Letter_Uppercase || category == QChar::Letter_Lowercase ||
         category == QChar::Letter_Titlecase;
}

Shape ShapeOf(QStringView text) {
  bool any = false;
  bool allUpper = true;
  bool allLower = true;
  bool firstUpper = false;
  bool restLower = true;
  for (qsizetype i = 0; i < text.size();) {
    const CodePoint cp = CodePointAt(text, i);
    i += cp.length;
    const QChar::Category category = QChar::category(cp.value);
    if (!HasCase(category)) {
      continue;
    }
    const bool lower = category == QChar::Letter_Lowercase;
    if (!any) {
      firstUpper = !lower;
    } else {
      restLower = restLower && lower;
    }
    any = true;
    allUpper = allUpper && category == QChar::Letter_Uppercase;
    allLower = allLower && lower;
  }
  if (!any) {
    return Shape::AsTyped;
  }
  if (allUpper) {
    return Shape::Upper;
  }
  if (allLower) {
    return Shape::Lower;
  }
  return firstUpper && restLower ? Shape::Capitalised : Shape::AsTyped;
}

QString Capitalised(const QString& text) {
  for (qsizetype i = 0; i < text.size();) {
    const CodePoint cp = CodePointAt(text, i);
    if (HasCase(QChar::category(cp.value))) {
      const char32_t title = QChar::toTitleCase(cp.value);
      return text.left(i) + QString::fromUcs4(&title, 1) + text.mid(i + cp.length);
    }
    i += cp.length;
  }
  return text;
}

}  // namespace

QString InCaseOf(QStringView replaced, const QString& replacement) {
  switch (ShapeOf(replaced)) {
    case Shape::Upper:
      return replacement.toUpper();
    case Shape::Lower:
      return replacement.toLower();
    case Shape::Capitalised:
      return Capitalised(replacement);
    case Shape::AsTyped:
      break;
  }
  return replacement;
}

}  // namespace qm
