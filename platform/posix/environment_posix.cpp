#include "platform/environment.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

namespace qm::platform {

QString ExpandEnvironmentStrings(const QString& text) {
  QString result;
  result.reserve(text.size());
  qsizetype pos = 0;
  while (pos < text.size()) {
    const qsizetype open = text.indexOf(QLatin1Char('%'), pos);
    if (open < 0) {
      break;
    }
    result.append(QStringView(text).mid(pos, open - pos));
    const qsizetype close = text.indexOf(QLatin1Char('%'), open + 1);
    if (close < 0) {
      pos = open;  // a lone "%" stays as it is
      break;
    }
    const QString name = text.mid(open + 1, close - open - 1);
    const QByteArray key = name.toLocal8Bit();
    const bool usable = !name.isEmpty() && !key.contains('=') && !key.contains('\0');
    if (usable && qEnvironmentVariableIsSet(key.constData())) {
      result.append(qEnvironmentVariable(key.constData()));
      pos = close + 1;
    } else {
      // Not a reference: kept with both "%", and the search goes on after
      // the closing one, as Windows does ("100% of %HOME%" keeps "% of %"
      // and the "HOME%" after it).
      result.append(QStringView(text).mid(open, close - open + 1));
      pos = close + 1;
    }
  }
  result.append(QStringView(text).mid(pos));
  return result;
}

QString ProgramBaseName() {
  QString path;
  if (QCoreApplication::instance() != nullptr) {
    path = QCoreApplication::applicationFilePath();
  }
  if (path.isEmpty()) {
    path = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
  }
  // Only the last extension goes ("qm.tool.exe" gives "qm.tool").
  return QFileInfo(path).completeBaseName();
}

QByteArray ToAnsi(const QString& text) { return text.toUtf8(); }

QString FromAnsi(const QByteArray& bytes) { return QString::fromUtf8(bytes); }

// UTF-8 holds every character; only a broken surrogate has no form in it.
std::optional<QByteArray> ToAnsiExactly(const QString& text) {
  QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
  QByteArray bytes = encoder.encode(text);
  if (encoder.hasError()) {
    return std::nullopt;
  }
  return bytes;
}

std::optional<QString> FromAnsiExactly(const QByteArray& bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = decoder.decode(bytes);
  if (decoder.hasError()) {
    return std::nullopt;
  }
  return text;
}

}  // namespace qm::platform
