// The host library as the tool uses it, over real collection files.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QThread>
#include <chrono>
#include <thread>

#include "host/lib/host_errors.h"
#include "stand_in_host.h"

namespace {

namespace admin = qm::hostadmin;
namespace errc = qm::host::errc;
using HostLibrary = qm::testing::StandInHostTest;

// A plain connection to a collection file, as another process would have.
class RawConnection {
 public:
  explicit RawConnection(const QString& file) {
    sqlite3_open(file.toUtf8().constData(), &db_);
    sqlite3_busy_timeout(db_, 5000);
  }
  ~RawConnection() { sqlite3_close(db_); }
  void Exec(const QByteArray& sql) { Exec(sql.constData()); }
  void Exec(const char* sql) {
    ASSERT_EQ(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db_);
  }

 private:
  sqlite3* db_ = nullptr;
};

QString DefaultFile() { return admin::ListCollections().front().file; }

std::vector<std::int32_t> SubFolderIds(const std::shared_ptr<qm::HostFolder>& folder) {
  std::vector<std::int32_t> ids;
  auto list = folder->SubFolders();
  for (std::int32_t i = 0; i < list->Count(); ++i) {
    ids.push_back(list->Item(i)->ID());
  }
  return ids;
}

TEST_F(HostLibrary, FoldersComeInTheHostsOrderWithTheirProperties) {
  const std::int32_t id = defaultId();
  const std::int32_t music = admin::AddFolder(id, 1, QStringLiteral("Musik"), 2);
  const std::int32_t jazz = admin::AddFolder(id, music, QStringLiteral("Jazz"), 0);
  const std::int32_t blues = admin::AddFolder(id, music, QStringLiteral("Blues"), 5);
  // The host's order is its own (Position), not the order of IDs or names.
  RawConnection(DefaultFile()).Exec("UPDATE Folder SET Position = 9 WHERE Name = 'Jazz'");

  auto collection = app()->DefaultCollection();
  auto root = collection->GetFolder(1);
  EXPECT_EQ(root->ID(), 1);
  EXPECT_EQ(root->Name(), QStringLiteral("Default"));
  EXPECT_EQ(SubFolderIds(root), (std::vector<std::int32_t>{200, 300, 400, 500, 600, 700, music}));
  auto musicFolder = root->SubFolders()->Item(6);
  EXPECT_EQ(musicFolder->Name(), QStringLiteral("Musik"));
  EXPECT_EQ(musicFolder->IconIndex(), 2);
  EXPECT_EQ(musicFolder->Collection()->ID(), id);
  EXPECT_EQ(SubFolderIds(musicFolder), (std::vector<std::int32_t>{blues, jazz}));
  EXPECT_EQ(collection->GetFolder(blues)->IconIndex(), 5);
  EXPECT_EQ(collection->GetFolder(jazz)->SubFolders()->Count(), 0);

  EXPECT_QM_ERROR(collection->GetFolder(4711), errc::kUnknownFolder, "QMHost.Library",
                  "The collection \"Default\" has no folder with the ID 4711.");
  EXPECT_THROW(root->SubFolders()->Item(7), qm::Error);
  EXPECT_THROW(root->SubFolders()->Item(-1), qm::Error);
}

// A walk sees one tree: the folders of a list are taken when the list is,
// and a folder asked for afresh sees the changes since.
TEST_F(HostLibrary, SubfolderListsAreOneConsistentTreeTakenWhenAsked) {
  const std::int32_t id = defaultId();
  const std::int32_t a = admin::AddFolder(id, 1, QStringLiteral("A"), 0);
  const std::int32_t a1 = admin::AddFolder(id, a, QStringLiteral("A1"), 0);
  auto collection = app()->DefaultCollection();
  auto rootList = collection->GetFolder(1)->SubFolders();
  const std::int32_t a2 = admin::AddFolder(id, a, QStringLiteral("A2"), 0);
  EXPECT_EQ(SubFolderIds(rootList->Item(6)), (std::vector<std::int32_t>{a1}));
  EXPECT_EQ(SubFolderIds(collection->GetFolder(a)), (std::vector<std::int32_t>{a1, a2}));
}

// A damaged folder table whose folders are each other's parents must not
// send a walk round forever: every folder is listed once.
TEST_F(HostLibrary, FolderCycleInADamagedTableIsWalkedOnce) {
  const std::int32_t id = defaultId();
  const std::int32_t a = admin::AddFolder(id, 1, QStringLiteral("A"), 0);
  const std::int32_t b = admin::AddFolder(id, a, QStringLiteral("B"), 0);
  RawConnection(DefaultFile())
      .Exec(QStringLiteral("UPDATE Folder SET ParentID = %1 WHERE ID = %2").arg(b).arg(a).toUtf8());
  auto folder = app()->DefaultCollection()->GetFolder(a);
  std::vector<std::int32_t> seen;
  auto list = folder->SubFolders();
  for (int depth = 0; depth < 5 && list->Count() > 0; ++depth) {
    seen.push_back(list->Item(0)->ID());
    list = list->Item(0)->SubFolders();
  }
  EXPECT_EQ(seen, (std::vector<std::int32_t>{b}));
}

TEST_F(HostLibrary, DocumentsReadNullAsEmptyAndSaveDurablyForOthers) {
  const std::int32_t id = defaultId();
  admin::AddDocuments(id, {{400, QStringLiteral("Ärger"), QString(), QStringLiteral("http://x/")}});
  auto collection = app()->DefaultCollection();
  auto document = collection->GetDocument(QVariant(qlonglong{1}));
  EXPECT_EQ(document->Title(), QStringLiteral("Ärger"));
  EXPECT_TRUE(document->Comment().isEmpty());
  EXPECT_EQ(document->Url(), QStringLiteral("http://x/"));

  document->SetTitle(QStringLiteral("Freude"));
  document->SetComment(QStringLiteral("neu"));
  EXPECT_EQ(document->Title(), QStringLiteral("Freude"));                 // reads what was written
  EXPECT_EQ(admin::ListDocuments(id)[0].title, QStringLiteral("Ärger"));  // not before Save
  document->Save();

  // Another process (a fresh library and a plain listing) sees the save.
  const auto stored = admin::ListDocuments(id);
  EXPECT_EQ(stored[0].title, QStringLiteral("Freude"));
  EXPECT_EQ(stored[0].comment, QStringLiteral("neu"));
  auto other = qm::CreateHostApplication()->DefaultCollection()->GetDocument(QVariant(1));
  EXPECT_EQ(other->Title(), QStringLiteral("Freude"));

  // A save stores only what was written: the host's own change of the URL
  // in the meantime survives.
  RawConnection(DefaultFile()).Exec("UPDATE Document SET Url = 'http://host/' WHERE EntryID = 1");
  document->SetTitle(QStringLiteral(""));
  document->Save();
  const auto after = admin::ListDocuments(id);
  EXPECT_EQ(after[0].url, QStringLiteral("http://host/"));
  EXPECT_FALSE(after[0].title.isNull());
  EXPECT_TRUE(after[0].title.isEmpty());
}

// A collection file is data: the triggers one from a share may carry do not
// run when the host saves, whether the file held them when the host opened
// it or got them afterwards.
TEST_F(HostLibrary, TriggersTheFileCarriesDoNotRunOnSave) {
  const std::int32_t id = defaultId();
  admin::AddDocuments(id, {{400, QStringLiteral("a"), {}, {}}, {400, QStringLiteral("b"), {}, {}}});
  const auto addTrigger = [](const char* name) {
    RawConnection(DefaultFile())
        .Exec(QStringLiteral("CREATE TRIGGER %1 AFTER UPDATE ON Document BEGIN UPDATE Document "
                             "SET Url = 'http://elsewhere/' WHERE EntryID <> NEW.EntryID; END")
                  .arg(QLatin1String(name))
                  .toUtf8());
  };
  addTrigger("before_opening");
  auto document = app()->DefaultCollection()->GetDocument(QVariant(1));
  document->SetTitle(QStringLiteral("mine"));
  document->Save();
  addTrigger("while_open");
  document->SetTitle(QStringLiteral("mine again"));
  document->Save();
  const auto stored = admin::ListDocuments(id);
  EXPECT_EQ(stored[0].title, QStringLiteral("mine again"));
  EXPECT_TRUE(stored[1].url.isNull()) << stored[1].url.toStdString();
}

TEST_F(HostLibrary, UnknownOrVanishedDocumentsAreErrors) {
  const std::int32_t id = defaultId();
  admin::AddDocuments(id, {{400, QStringLiteral("a"), {}, {}}});
  auto collection = app()->DefaultCollection();
  EXPECT_QM_ERROR(collection->GetDocument(QVariant(qlonglong{77})), errc::kUnknownDocument,
                  "QMHost.Library",
                  "The collection \"Default\" has no document with the EntryID 77.");
  EXPECT_QM_ERROR(collection->GetDocument(QVariant()), errc::kBadArgument, "QMHost.Library",
                  "\"\" is not a document's EntryID.");
  EXPECT_THROW(collection->GetDocument(QVariant(QStringLiteral("1x"))), qm::Error);
  EXPECT_THROW(collection->GetDocument(QVariant(1.5)), qm::Error);
  EXPECT_EQ(collection->GetDocument(QVariant(1.0))->Title(), QStringLiteral("a"));
  EXPECT_EQ(collection->GetDocument(QVariant(QStringLiteral("1")))->Title(), QStringLiteral("a"));

  auto document = collection->GetDocument(QVariant(1));
  RawConnection(DefaultFile()).Exec("DELETE FROM Document WHERE EntryID = 1");
  document->SetTitle(QStringLiteral("b"));
  EXPECT_QM_ERROR(document->Save(), errc::kDocumentGone, "QMHost.Library",
                  "The document with the EntryID 1 could not be saved: it was deleted from the "
                  "collection \"Default\".");
  EXPECT_TRUE(admin::ListDocuments(id).empty());  // and nothing was made up
}

TEST_F(HostLibrary, SaveWaitsForAWriterThatHoldsTheCollection) {
  const std::int32_t id = defaultId();
  admin::AddDocuments(id, {{400, QStringLiteral("a"), {}, {}}});
  auto document = app()->DefaultCollection()->GetDocument(QVariant(1));
  document->SetTitle(QStringLiteral("mine"));

  std::atomic<bool> locked{false};
  std::thread host([&] {
    RawConnection connection(DefaultFile());
    connection.Exec("BEGIN IMMEDIATE; UPDATE Document SET Comment = 'host' WHERE EntryID = 1");
    locked = true;
    std::this_thread::sleep_for(std::chrono::seconds(1));
    connection.Exec("COMMIT");
  });
  while (!locked) {
    std::this_thread::yield();
  }
  const auto start = std::chrono::steady_clock::now();
  EXPECT_NO_THROW(document->Save());
  const auto waited = std::chrono::steady_clock::now() - start;
  host.join();
  EXPECT_GE(waited, std::chrono::milliseconds(500));
  const auto stored = admin::ListDocuments(id);
  EXPECT_EQ(stored[0].title, QStringLiteral("mine"));
  EXPECT_EQ(stored[0].comment, QStringLiteral("host"));
}

TEST_F(HostLibrary, RecordsetIsAFixedSnapshotOfEntryIds) {
  const std::int32_t id = defaultId();
  admin::AddDocuments(id, {{400, QStringLiteral("apfel"), {}, {}},
                           {400, QStringLiteral("birne"), {}, {}},
                           {400, QStringLiteral("Apfelmus"), {}, {}}});
  auto collection = app()->DefaultCollection();
  auto recordset = collection->Connection()->OpenRecordset(
      QStringLiteral("SELECT EntryID FROM Document WHERE (VisibleInFolderID>1) AND Title LIKE "
                     "'%apfel%'"));
  // Changes after opening do not reach the snapshot.
  admin::AddDocuments(id, {{400, QStringLiteral("APFEL"), {}, {}}});
  auto first = collection->GetDocument(QVariant(1));
  first->SetTitle(QStringLiteral("pflaume"));
  first->Save();

  EXPECT_EQ(recordset->RecordCount(), 2);
  std::vector<qlonglong> ids;
  for (; !recordset->Eof(); recordset->MoveNext()) {
    const QVariant value = recordset->Value(QStringLiteral("entryid"));
    EXPECT_EQ(value, recordset->Value(QStringLiteral("EntryID")));
    ids.push_back(value.toLongLong());
  }
  EXPECT_EQ(ids, (std::vector<qlonglong>{1, 3}));
  EXPECT_QM_ERROR(recordset->Value(QStringLiteral("EntryID")), errc::kRecordset, "QMHost.Library",
                  "The recordset has no current row: it is past its last row.");
  EXPECT_THROW(recordset->MoveNext(), qm::Error);
  recordset->Close();
  EXPECT_QM_ERROR(recordset->RecordCount(), errc::kRecordset, "QMHost.Library",
                  "The recordset is closed.");
  recordset->Close();  // twice is harmless

  auto other = collection->Connection()->OpenRecordset(
      QStringLiteral("SELECT EntryID, Title FROM Document WHERE EntryID = 2"));
  EXPECT_EQ(other->Value(QStringLiteral("TITLE")), QVariant(QStringLiteral("birne")));
  EXPECT_QM_ERROR(other->Value(QStringLiteral("Url")), errc::kRecordset, "QMHost.Library",
                  "The recordset has no field named \"Url\".");
}

// A forward-only read gives what the snapshot gives, row for row, under the
// same rules; it keeps reading after its connection is let go.
TEST_F(HostLibrary, ForwardOnlyRecordsetReadsWhatTheSnapshotHolds) {
  const std::int32_t id = defaultId();
  admin::AddDocuments(id, {{400, QStringLiteral("äpfel"), {}, {}},
                           {400, {}, QStringLiteral("no title"), {}},
                           {400, QStringLiteral("birne"), {}, {}}});
  const QString query = QStringLiteral(
      "SELECT Title, EntryID, 2.5 AS Half, X'00ff' AS Bytes FROM Document ORDER BY EntryID");
  auto collection = app()->DefaultCollection();
  std::vector<std::vector<QVariant>> snapshot;
  for (auto rows = collection->Connection()->OpenRecordset(query); !rows->Eof(); rows->MoveNext()) {
    snapshot.push_back({rows->Value(QStringLiteral("Title")),
                        rows->Value(QStringLiteral("EntryID")), rows->Value(QStringLiteral("Half")),
                        rows->Value(QStringLiteral("Bytes"))});
  }
  ASSERT_EQ(snapshot.size(), 3u);

  auto forward = collection->Connection()->OpenForwardOnly(query);
  collection.reset();
  EXPECT_EQ(forward->RecordCount(), -1);
  std::vector<std::vector<QVariant>> read;
  for (; !forward->Eof(); forward->MoveNext()) {
    read.push_back(
        {forward->Value(QStringLiteral("title")), forward->Value(QStringLiteral("EntryID")),
         forward->Value(QStringLiteral("Half")), forward->Value(QStringLiteral("Bytes"))});
    EXPECT_QM_ERROR(forward->Value(QStringLiteral("Url")), errc::kRecordset, "QMHost.Library",
                    "The recordset has no field named \"Url\".");
  }
  EXPECT_EQ(read, snapshot);
  EXPECT_TRUE(read[1][0].isNull());
  EXPECT_QM_ERROR(forward->Value(QStringLiteral("EntryID")), errc::kRecordset, "QMHost.Library",
                  "The recordset has no current row: it is past its last row.");
  EXPECT_QM_ERROR(forward->MoveNext(), errc::kRecordset, "QMHost.Library",
                  "The recordset cannot move on: it is past its last row.");
  forward->Close();
  EXPECT_QM_ERROR(forward->Eof(), errc::kRecordset, "QMHost.Library", "The recordset is closed.");

  auto connection = app()->DefaultCollection()->Connection();
  try {
    connection->OpenForwardOnly(QStringLiteral("DELETE FROM Document"));
    ADD_FAILURE() << "ran a DELETE";
  } catch (const qm::Error& e) {
    EXPECT_EQ(e.number(), errc::kQueryRefused);
  }
  EXPECT_EQ(admin::ListDocuments(id).size(), 3u);
}

TEST_F(HostLibrary, QueriesMatchWithoutRegardToCaseInEveryScript) {
  const std::int32_t id = defaultId();
  const std::int32_t folder = admin::AddFolder(id, 1, QStringLiteral("F"), 0);
  admin::AddDocuments(id, {
                              {400, QStringLiteral("ÄRGER im Büro"), {}, {}},             // 1
                              {folder, QStringLiteral("ärgerlich"), {}, {}},              // 2
                              {400, QStringLiteral("Σίσυφος"), {}, {}},                   // 3
                              {400, QStringLiteral("МОСКВА"), {}, {}},                    // 4
                              {400, QStringLiteral("it's fine"), {}, {}},                 // 5
                              {400, QStringLiteral("a_b 100%"), QString(), {}},           // 6
                              {400, QStringLiteral("axb 1000"), QStringLiteral(""), {}},  // 7
                              {1, QStringLiteral("ärger at the root"), {}, {}},           // 8
                          });
  auto connection = app()->DefaultCollection()->Connection();
  struct Case {
    const char* query;
    std::vector<qlonglong> ids;
  };
  const QString folderList = QString::number(folder);
  const Case cases[] = {
      {"SELECT EntryID FROM Document WHERE (VisibleInFolderID>1) AND Title LIKE '%ärger%'", {1, 2}},
      {"SELECT EntryID FROM Document WHERE (VisibleInFolderID>1) AND Title LIKE '%ÄRGER%'", {1, 2}},
      {"SELECT EntryID FROM Document WHERE (VisibleInFolderID>1) AND Title LIKE '%ΣΊΣΥΦΟΣ%'", {3}},
      {"SELECT EntryID FROM Document WHERE (VisibleInFolderID>1) AND Title LIKE '%москва%'", {4}},
      {"SELECT EntryID FROM Document WHERE (VisibleInFolderID>1) AND Title LIKE \"%it's%\"", {5}},
      {"SELECT EntryID FROM Document WHERE (VisibleInFolderID>1) AND Title LIKE '%a_b%'", {6, 7}},
      {"SELECT EntryID FROM Document WHERE (VisibleInFolderID>1) AND Title LIKE '%100%%'", {6, 7}},
      {"SELECT EntryID FROM Document WHERE (VisibleInFolderID>1) AND (Comment IS NULL OR "
       "Comment = '')",
       {1, 2, 3, 4, 5, 6, 7}},
      {"SELECT EntryID FROM Document WHERE VisibleInFolderID IN (400) AND Title LIKE '%ärger%'",
       {1}},
  };
  for (const Case& c : cases) {
    auto recordset = connection->OpenRecordset(QString::fromUtf8(c.query));
    std::vector<qlonglong> ids;
    for (; !recordset->Eof(); recordset->MoveNext()) {
      ids.push_back(recordset->Value(QStringLiteral("EntryID")).toLongLong());
    }
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, c.ids) << c.query;
  }
  auto inFolder = connection->OpenRecordset(
      QStringLiteral("SELECT EntryID FROM Document WHERE VisibleInFolderID IN (%1) AND Title "
                     "LIKE '%ÄRG%'")
          .arg(folderList));
  EXPECT_EQ(inFolder->RecordCount(), 1);
}

TEST_F(HostLibrary, OnlyOneReadOnlyStatementIsRun) {
  admin::AddDocuments(defaultId(), {{400, QStringLiteral("a"), {}, {}}});
  auto connection = app()->DefaultCollection()->Connection();
  struct Case {
    const char* query;
    std::int32_t number;
  };
  const Case refused[] = {
      {"SELECT 1; DELETE FROM Document", errc::kQueryRefused},
      {"SELECT EntryID FROM Document; SELECT 1", errc::kQueryRefused},
      {"SELECT 1; garbage that does not parse", errc::kQueryRefused},
      {"DELETE FROM Document", errc::kQueryRefused},
      {"UPDATE Document SET Title = 'x'", errc::kQueryRefused},
      {"INSERT INTO Document (EntryID, VisibleInFolderID) VALUES (5, 400)", errc::kQueryRefused},
      {"DROP TABLE Document", errc::kQueryRefused},
      {"ATTACH DATABASE '/tmp/x.db' AS x", errc::kQueryRefused},
      {"PRAGMA writable_schema=1", errc::kQueryRefused},
      {"PRAGMA table_info(Document)", errc::kQueryRefused},
      {"VACUUM", errc::kQueryRefused},
      {"BEGIN", errc::kQueryRefused},
      {"", errc::kQueryRefused},
      {"  -- nothing but a comment", errc::kQueryRefused},
      {"SELECT EntryID FROM Document WHERE Title LIKE \"%it's \"quoted\"%\"", errc::kDatabase},
      {"SELECT Nothing FROM Nowhere", errc::kDatabase},
  };
  for (const Case& c : refused) {
    try {
      connection->OpenRecordset(QString::fromUtf8(c.query));
      ADD_FAILURE() << "ran: " << c.query;
    } catch (const qm::Error& e) {
      EXPECT_EQ(e.number(), c.number) << c.query << ": " << e.what();
    }
  }
  EXPECT_EQ(admin::ListDocuments(defaultId()).size(), 1u);
  EXPECT_EQ(admin::ListDocuments(defaultId())[0].title, QStringLiteral("a"));

  for (const char* accepted : {"SELECT 1;", "SELECT 1 ; -- done", "SELECT EntryID FROM Document;;",
                               "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM n "
                               "WHERE x<3) SELECT x FROM n"}) {
    EXPECT_NO_THROW(connection->OpenRecordset(QString::fromUtf8(accepted))) << accepted;
  }
}

}  // namespace
