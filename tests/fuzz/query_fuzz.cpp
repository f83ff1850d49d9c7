// Search texts made from the fuzzer's bytes go through BuildQueryText to a
// real stand-in collection. Every query must be accepted as one read-only
// statement and select exactly the documents whose field matches the LIKE
// pattern, as worked out in C++; anything else aborts.
#include <QCoreApplication>
#include <QTemporaryDir>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>

#include "engine/query/query_text.h"
#include "engine/query_check.h"
#include "host/admin/host_admin.h"
#include "hostlib/host_library.h"
#include "platform/error.h"

namespace {

namespace admin = qm::hostadmin;

struct Fixture {
  std::shared_ptr<qm::HostApplication> app;
  std::shared_ptr<qm::HostConnection> connection;
  std::vector<qm::testing::CorpusDocument> corpus;
  std::vector<std::int32_t> folders;
};

Fixture* fixture = nullptr;

void Build(Fixture& f) {
  // Never the real settings: the registry and the host live in a
  // temporary folder for the whole run.
  static QTemporaryDir* home = new QTemporaryDir();
  qputenv("XDG_CONFIG_HOME", home->path().toUtf8());
  qputenv("HOME", home->path().toUtf8());
  admin::InstallHost(admin::HostEdition::English, home->path() + QStringLiteral("/host"));
  const std::int32_t id = admin::ListCollections().front().id;
  const std::int32_t a = admin::AddFolder(id, 1, QStringLiteral("A"), 0);
  const std::int32_t b = admin::AddFolder(id, a, QStringLiteral("B"), 0);
  f.folders = {1, 200, 400, 500, a, b, 999999};
  const QString none;
  admin::AddDocuments(
      id, {
              {a, QStringLiteral("it's here"), QStringLiteral("say \"hi\""), QStringLiteral("")},
              {b, QStringLiteral("it's \"both\" 100%"), none, QStringLiteral("http://x/a_b")},
              {400, QString::fromUtf8("ÄRGER im Büro ΣΟΦΟΣ"), QStringLiteral("a\\b;--/*"), none},
              {500, QString::fromUtf8("ärger straße"), QStringLiteral(""), QStringLiteral("x")},
              {1, QStringLiteral("root"), QStringLiteral("r"), QStringLiteral("r")},
              {200, none, QStringLiteral("'\""), none},
              {a, QStringLiteral(""), none, QString::fromUtf8("\xF0\x9F\x98\x80 emoji")},
          });
  f.corpus = qm::testing::LoadCorpus(id);
  f.app = qm::CreateHostApplication();
  f.connection = f.app->DefaultCollection()->Connection();
}

QString SearchTextFrom(FuzzedDataProvider& data) {
  if (data.ConsumeBool()) {
    const std::string bytes = data.ConsumeRemainingBytesAsString();
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
  }
  QString text;
  while (data.remaining_bytes() >= 2) {
    text.append(QChar(data.ConsumeIntegral<char16_t>()));
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static QCoreApplication* application = new QCoreApplication(*argc, *argv);
  (void)application;
  fixture = new Fixture();
  try {
    Build(*fixture);
  } catch (const qm::Error& e) {
    std::fprintf(stderr, "setting up the stand-in host failed: %s\n", e.what());
    std::abort();
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  qm::QueryScope scope = qm::QueryScope::WholeCollection();
  if (data.ConsumeBool()) {
    QStringList ids;
    for (int k = data.ConsumeIntegralInRange(1, 3); k > 0; --k) {
      ids.append(QString::number(fixture->folders[data.ConsumeIntegralInRange<std::size_t>(
          0, fixture->folders.size() - 1)]));
    }
    scope = qm::QueryScope::Folders(ids.join(u','));
  }
  const auto field = static_cast<qm::SearchField>(data.ConsumeIntegralInRange(0, 2));
  const QString text = SearchTextFrom(data);
  const QString query = qm::BuildQueryText(scope, field, text);
  std::vector<std::int64_t> selected;
  try {
    selected = qm::testing::SelectedIds(*fixture->connection, query);
  } catch (const qm::Error& e) {
    std::fprintf(stderr, "query refused: %s\n%s\n", e.what(), qPrintable(query));
    std::abort();
  }
  if (selected != qm::testing::ExpectedMatches(fixture->corpus, scope, field, text)) {
    std::fprintf(stderr, "query selected the wrong documents:\n%s\n", qPrintable(query));
    std::abort();
  }
  return 0;
}
