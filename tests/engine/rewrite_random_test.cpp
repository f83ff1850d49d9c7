// Random values and search texts against a literal reading of the rules: at
// each code point, from left to right, the search text either starts there
// (and, for whole words, has no word character on either side) and is
// replaced, or the code point is kept. The rewrite must agree, its spans
// must fit, it must recognise the change it makes and no other, and a
// pattern that only quotes the search text must find the
// same as the plain search.
#include <QRandomGenerator>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <vector>

#include "engine/run/text_rewrite.h"
#include "platform/text_fold.h"

namespace {

const char* const kPieces[] = {"a",
                               "A",
                               "b",
                               " ",
                               "_",
                               "-",
                               "1",
                               "é",
                               "É",
                               "e\xCC\x81",
                               "ß",
                               "\xF0\x9F\x98\x80",
                               "\xF0\x90\x90\x80",
                               "\xF0\x90\x90\xA8"};

// Each round draws its texts from a few pieces only, so that matches,
// overlapping matches, near misses and word edges are common.
std::vector<QString> RandomAlphabet(QRandomGenerator& random) {
  std::vector<QString> alphabet;
  const int size = 2 + static_cast<int>(random.bounded(3));
  for (int i = 0; i < size; ++i) {
    alphabet.push_back(
        QString::fromUtf8(kPieces[random.bounded(static_cast<quint32>(std::size(kPieces)))]));
  }
  return alphabet;
}

QString RandomText(QRandomGenerator& random, const std::vector<QString>& alphabet, int maxPieces,
                   bool loneHalves) {
  QString text;
  const int pieces = static_cast<int>(random.bounded(maxPieces + 1));
  for (int i = 0; i < pieces; ++i) {
    if (loneHalves && random.bounded(12) == 0) {
      text.append(QChar(static_cast<char16_t>(random.bounded(2) ? 0xD83D : 0xDE00)));
    } else {
      text.append(alphabet[random.bounded(static_cast<quint32>(alphabet.size()))]);
    }
  }
  return text;
}

std::vector<char32_t> CodePointsOf(const QString& text) {
  std::vector<char32_t> codePoints;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      codePoints.push_back(QChar::surrogateToUcs4(text[i], text[i + 1]));
      ++i;
    } else {
      codePoints.push_back(text[i].unicode());
    }
  }
  return codePoints;
}

bool Joins(char32_t c) { return c == U'_' || QChar::isLetterOrNumber(c) || QChar::isMark(c); }

QString ModelRewrite(const QString& old, const QString& search, const QString& replace,
                     bool matchCase, bool wholeWords) {
  const std::vector<char32_t> v = CodePointsOf(old);
  const std::vector<char32_t> s = CodePointsOf(search);
  const auto same = [&](char32_t a, char32_t b) {
    return matchCase ? a == b : qm::FoldCase(a) == qm::FoldCase(b);
  };
  QString result;
  std::size_t i = 0;
  while (i < v.size()) {
    bool found = i + s.size() <= v.size();
    for (std::size_t k = 0; found && k < s.size(); ++k) {
      found = same(v[i + k], s[k]);
    }
    if (found && wholeWords) {
      found = (i == 0 || !Joins(v[i - 1])) && (i + s.size() == v.size() || !Joins(v[i + s.size()]));
    }
    if (found) {
      result.append(replace);
      i += s.size();
    } else {
      result.append(QString::fromUcs4(&v[i], 1));
      ++i;
    }
  }
  return result;
}

TEST(RewriteRandom, AgreesWithTheRulesAsWritten) {
  QRandomGenerator random(20240611);
  for (int round = 0; round < 4000; ++round) {
    const bool loneHalves = round % 2 == 1;
    const std::vector<QString> alphabet = RandomAlphabet(random);
    const QString old = RandomText(random, alphabet, 14, loneHalves);
    const QString search = RandomText(random, alphabet, 4, loneHalves);
    if (search.isEmpty()) {
      continue;
    }
    const QString replace = RandomText(random, RandomAlphabet(random), 2, false);
    const qm::SearchOptions options{random.bounded(2) == 1, random.bounded(2) == 1, false, false};
    std::vector<qm::RewriteSpan> spans;
    const qm::RewriteResult r = qm::RewriteValue(old, search, replace, options, spans);
    const QString expected =
        ModelRewrite(old, search, replace, options.matchCase, options.wholeWords);
    ASSERT_EQ(r.value, expected) << "old " << old.toStdString() << " search "
                                 << search.toStdString() << " case " << options.matchCase
                                 << " words " << options.wholeWords;
    // Each span removes the search text's length worth and inserts the replacement.
    for (const qm::RewriteSpan& s : spans) {
      ASSERT_EQ(r.value.mid(s.after, s.afterLength), replace);
      ASSERT_TRUE(options.matchCase
                      ? old.mid(s.before, s.beforeLength) == search
                      : qm::EqualsIgnoringCase(old.mid(s.before, s.beforeLength), search));
    }
    // A recorded change is recognised with the same spans; any other is not.
    const qm::TextRewrite rewrite(search, replace, options);
    std::vector<qm::RewriteSpan> given;
    ASSERT_TRUE(rewrite.Gives(old, r.value, given));
    ASSERT_EQ(given, spans);
    ASSERT_FALSE(rewrite.Gives(old, r.value + QLatin1Char('#'), given));
    ASSERT_TRUE(given.empty());
    if (!r.value.isEmpty()) {
      QString other = r.value;
      other[static_cast<qsizetype>(random.bounded(static_cast<quint32>(other.size())))] = u'#';
      ASSERT_FALSE(rewrite.Gives(old, other, given));
      ASSERT_FALSE(rewrite.Gives(old, other.chopped(1), given));
    }
    if (loneHalves) {
      continue;
    }
    qm::SearchOptions quoted = options;
    quoted.pattern = true;
    const qm::RewriteResult p =
        qm::RewriteValue(old, QRegularExpression::escape(search),
                         QString(replace).replace(u'$', QStringLiteral("$$")), quoted);
    ASSERT_EQ(p.value, expected) << "as a pattern: old " << old.toStdString() << " search "
                                 << search.toStdString() << " case " << options.matchCase
                                 << " words " << options.wholeWords;
  }
}

}  // namespace
