// Modules someone else wrote: broken headers, broken resource trees,
// truncated files and thousands of random corruptions. Each must end in a
// clear qm::Error or a correct answer, never in a crash, a hang or a read
// outside the file (the sanitizer build checks the last).
#include <gtest/gtest.h>

#include <QByteArray>

#include <functional>
#include <random>

#include "host/admin/resource_library_writer.h"
#include "platform/pe_resources.h"
#include "tests/platform/pe_test_support.h"

namespace {

using qm::platform::PeResourceModule;
using qm::platform::PutU32;
using namespace qm::pe_test;

QByteArray OneIconLibrary() {
  return qm::host::BuildIconLibrary({{"ONE", {SolidImage(16, qRgb(1, 2, 3))}}});
}

struct Corruption {
  const char* what;
  std::function<void(QByteArray&)> apply;
  const char* descriptionPart;
};

TEST(PeResourcesHostile, BrokenHeadersAreRefusedAsBadModules) {
  const Corruption cases[] = {
      {"empty file", [](QByteArray& m) { m.clear(); }, "MZ header"},
      {"short file", [](QByteArray& m) { m.truncate(40); }, "MZ header"},
      {"no MZ", [](QByteArray& m) { m[0] = 'X'; }, "MZ header"},
      {"PE offset past the end", [](QByteArray& m) { PutU32(m, 0x3C, 0x7FFFFFF0); }, "PE header"},
      {"PE offset wraps", [](QByteArray& m) { PutU32(m, 0x3C, 0xFFFFFFFF); }, "PE header"},
      {"no PE signature", [](QByteArray& m) { m[kPeHeaderAt] = 'Q'; }, "PE header"},
      {"optional header past the end", [](QByteArray& m) { m.truncate(kOptionalAt + 10); },
       "optional header"},
      {"optional header too large", [](QByteArray& m) { PutU16(m, kOptionalSizeAt, 0xFFFF); },
       "optional header"},
      {"unknown optional header", [](QByteArray& m) { PutU16(m, kOptionalAt, 0x107); },
       "neither PE32"},
      {"too many sections", [](QByteArray& m) { PutU16(m, kSectionCountAt, 97); }, "sections"},
      {"section table cut off", [](QByteArray& m) { m.truncate(kSectionTableAt + 20); },
       "section table"},
      {"section table past the end", [](QByteArray& m) { PutU16(m, kSectionCountAt, 96); },
       "section table"},
      {"resources outside every section", [](QByteArray& m) { PutU32(m, kResourceRvaAt, 0x9000); },
       "outside every section"},
      {"resource address wraps", [](QByteArray& m) { PutU32(m, kResourceRvaAt, 0xFFFFFFF0); },
       "outside every section"},
      {"section raw data past the end",
       [](QByteArray& m) { PutU32(m, kSectionTableAt + 20, 0x7FFFFF00); }, "outside the file"},
      {"file ends inside the root", [](QByteArray& m) { m.truncate(kRootAt + 8); },
       "outside the file"},
  };
  for (const Corruption& c : cases) {
    QByteArray module = OneIconLibrary();
    c.apply(module);
    try {
      PeResourceModule::FromBytes(module);
      ADD_FAILURE() << c.what << ": accepted";
    } catch (const qm::Error& e) {
      EXPECT_EQ(e.number(), qm::platform::kErrorBadExeFormat) << c.what;
      EXPECT_EQ(e.source(), QStringLiteral("LoadLibraryEx")) << c.what;
      EXPECT_TRUE(e.description().contains(QString::fromLatin1(c.descriptionPart)))
          << c.what << ": " << e.what();
    }
  }
}

TEST(PeResourcesHostile, BrokenResourceTreesRaiseInvalidDataOnLookup) {
  const Corruption cases[] = {
      {"root claims 65535 entries", [](QByteArray& m) { PutU16(m, kRootAt + 14, 0xFFFF); },
       "run past"},
      {"type leads to data", [](QByteArray& m) { PutU32(m, FindGroupPath(m).typeEntry + 4, 0x10); },
       "where a directory belongs"},
      {"name directory outside",
       [](QByteArray& m) { PutU32(m, FindGroupPath(m).typeEntry + 4, 0xFFFFFFF0); },
       "outside the resource section"},
      {"name string outside",
       [](QByteArray& m) { PutU32(m, FindGroupPath(m).nameEntry, 0xFFFFFFF0); }, "runs past"},
      {"name string too long",
       [](QByteArray& m) {
         const qsizetype name = kRootAt + (U32At(m, FindGroupPath(m).nameEntry) & 0x7FFFFFFF);
         PutU16(m, name, 0xFFFF);
       },
       "runs past"},
      {"language directory points at itself",
       [](QByteArray& m) {
         const GroupPath p = FindGroupPath(m);
         PutU32(m, p.languageEntry + 4,
                0x80000000u | static_cast<std::uint32_t>(p.languageDirectory - kRootAt));
       },
       "nests another directory"},
      {"data entry outside",
       [](QByteArray& m) { PutU32(m, FindGroupPath(m).languageEntry + 4, 0x7FFFFFF0); },
       "outside the resource section"},
      {"data address outside",
       [](QByteArray& m) { PutU32(m, FindGroupPath(m).dataEntry, 0x50000); }, "outside the file"},
      {"data size wraps",
       [](QByteArray& m) { PutU32(m, FindGroupPath(m).dataEntry + 4, 0xFFFFFFFF); },
       "outside the file"},
      {"group is not an icon group",
       [](QByteArray& m) {
         PutU16(m, kRootAt + U32At(m, FindGroupPath(m).dataEntry) - 0x1000 + 2, 2);
       },
       "icon directory"},
      {"group holds no images",
       [](QByteArray& m) {
         PutU16(m, kRootAt + U32At(m, FindGroupPath(m).dataEntry) - 0x1000 + 4, 0);
       },
       "no images"},
      {"group claims more images than it has",
       [](QByteArray& m) {
         PutU16(m, kRootAt + U32At(m, FindGroupPath(m).dataEntry) - 0x1000 + 4, 9);
       },
       "run past its end"},
      {"group names a missing image",
       [](QByteArray& m) {
         PutU16(m, kRootAt + U32At(m, FindGroupPath(m).dataEntry) - 0x1000 + 6 + 12, 77);
       },
       "does not hold"},
  };
  for (const Corruption& c : cases) {
    QByteArray module = OneIconLibrary();
    c.apply(module);
    try {
      PeResourceModule::FromBytes(module).LoadIcon(QStringLiteral("ONE"));
      ADD_FAILURE() << c.what << ": accepted";
    } catch (const qm::Error& e) {
      EXPECT_EQ(e.number(), qm::platform::kErrorInvalidData) << c.what;
      EXPECT_TRUE(e.description().contains(QString::fromLatin1(c.descriptionPart)))
          << c.what << ": " << e.what();
    }
  }
}

TEST(PeResourcesHostile, EveryTruncationEndsInAnErrorOrTheRightIcon) {
  const QByteArray full = OneIconLibrary();
  const QByteArray expected = *PeResourceModule::FromBytes(full).LoadIcon(QStringLiteral("ONE"));
  int accepted = 0;
  for (qsizetype length = 0; length < full.size(); ++length) {
    try {
      const std::optional<QByteArray> icon =
          PeResourceModule::FromBytes(full.left(length)).LoadIcon(QStringLiteral("ONE"));
      ASSERT_TRUE(icon.has_value()) << length;
      EXPECT_EQ(*icon, expected) << length;
      ++accepted;
    } catch (const qm::Error&) {
      // Expected for every length that cuts a record the lookup needs.
    }
  }
  // Only the padding behind the last image may go.
  const qsizetype lastImageEnd = kRootAt + U32At(full, FindGroupPath(full).dataEntry) - 0x1000 +
                                 U32At(full, FindGroupPath(full).dataEntry + 4);
  EXPECT_EQ(accepted, full.size() - std::max(lastImageEnd, kRootAt + qsizetype{16}));
}

// Values that tend to break offset arithmetic.
constexpr std::uint32_t kInteresting[] = {
    0,          1,          2,          0x10,       0x7F,   0x80,    0xFF,
    0x100,      0x1000,     0x7FFF,     0x8000,     0xFFFF, 0x10000, 0x7FFFFFFF,
    0x80000000, 0x80000010, 0xFFFFFFF0, 0xFFFFFFFF, 0x200,  0x1010};

QByteArray Mutate(const QByteArray& base, std::mt19937& random) {
  QByteArray module = base;
  const int mutations = 1 + static_cast<int>(random() % 4);
  for (int i = 0; i < mutations && !module.isEmpty(); ++i) {
    const auto size = static_cast<std::uint32_t>(module.size());
    switch (random() % 5) {
      case 0:
        module[random() % size] =
            static_cast<char>(module[random() % size] ^ (1 << (random() % 8)));
        break;
      case 1:
      case 2: {
        // Mostly the headers and the directories, where offsets live.
        const std::uint32_t region =
            (random() % 2 == 0) ? 0x200 : std::min<std::uint32_t>(size, 0x400);
        const std::uint32_t at = random() % region;
        if (at + 4 <= size) {
          PutU32(module, at, kInteresting[random() % std::size(kInteresting)]);
        }
        break;
      }
      case 3:
        module.truncate(static_cast<qsizetype>(random() % size));
        break;
      default:
        module[random() % size] = static_cast<char>(random());
        break;
    }
  }
  return module;
}

TEST(PeResourcesHostile, ThousandsOfRandomCorruptionsNeverCrash) {
  const QByteArray base = qm::host::BuildIconLibrary({
      {"FIRST", {SolidImage(16, qRgb(1, 1, 1)), SolidImage(32, qRgb(2, 2, 2))}},
      {"Second", {SolidImage(16, qRgb(3, 3, 3))}, qm::host::IconEncoding::Png},
      {"Third", {SolidImage(24, qRgb(4, 4, 4))}},
  });
  std::mt19937 random(20240611u);
  int refused = 0;
  int found = 0;
  int treeErrors = 0;
  for (int round = 0; round < 5000; ++round) {
    const QByteArray module = Mutate(base, random);
    try {
      const PeResourceModule parsed = PeResourceModule::FromBytes(module);
      for (const char* name : {"first", "SECOND", "third", "fourth", "#1"}) {
        try {
          const std::optional<QByteArray> icon =
              parsed.LoadIcon(qm::platform::ResourceKeyFromText(name));
          if (icon) {
            ASSERT_LE(icon->size(), module.size());
            ++found;
          }
          parsed.ResourceNames(qm::platform::kResourceTypeGroupIcon);
        } catch (const qm::Error& e) {
          ASSERT_EQ(e.number(), qm::platform::kErrorInvalidData) << e.what();
          ++treeErrors;
        }
      }
    } catch (const qm::Error& e) {
      ASSERT_EQ(e.number(), qm::platform::kErrorBadExeFormat) << e.what();
      ++refused;
    }
  }
  // The corruptions must reach every stage, or the test proves little.
  EXPECT_GT(refused, 300);
  EXPECT_GT(found, 2000);
  EXPECT_GT(treeErrors, 500);
}

}  // namespace
