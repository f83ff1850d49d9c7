// A stand-in host with a small collection for the commands of the engine,
// and a fake window.
#pragma once

#include <QStringList>

#include "engine/failing_host.h"
#include "engine/fake_port.h"
#include "engine/run/run_state.h"
#include "host/admin/host_admin.h"
#include "host/stand_in_host.h"

namespace qm::testing {

class EngineOnHost : public StandInHostTest {
 protected:
  void SetUp() override {
    StandInHostTest::SetUp();
    Populate();
  }

  // A fresh collection with the documents below; the commands' folders come
  // from it. Tests with a table of cases call it again for every case.
  void Populate() {
    id_ = hostadmin::CreateCollection(QStringLiteral("Run %1").arg(++populated_), false);
    a_ = hostadmin::AddFolder(id_, 1, QStringLiteral("A"), 0);
    b_ = hostadmin::AddFolder(id_, a_, QStringLiteral("B"), 0);
    const QString none;
    hostadmin::AddDocuments(
        id_, {
                 {400, QStringLiteral("ABC abc aBc"), QStringLiteral("c1"), none},
                 {400, QStringLiteral("- Report - "), none, QStringLiteral("http://r/")},
                 {a_, QStringLiteral("nothing here"), none, none},
                 {a_, QStringLiteral(""), QStringLiteral("c4"), none},
                 {a_, none, none, none},
                 {b_, QStringLiteral("Heise online - News"), none, none},
                 {b_, QStringLiteral("100 percent"), none, none},
                 {1, QStringLiteral("in the root abc"), none, none},
             });
    collection_ =
        std::make_shared<FailingCollection>(app()->Collections()->Item(QString::number(id_)));
    inner_ = app()->Collections()->Item(QString::number(id_));
  }

  // A folder of the collection, seen through the wrapper.
  std::shared_ptr<HostFolder> Folder(std::int32_t folderId) {
    return std::make_shared<WrappedFolder>(inner_->GetFolder(folderId), collection_);
  }

  std::int32_t AddDocument(std::int32_t folderId, const QString& title) {
    hostadmin::AddDocuments(id_, {{folderId, title, {}, {}}});
    return folderId;
  }

  // Titles in EntryID order; "<null>" for a title without a value.
  QStringList Titles() {
    QStringList titles;
    for (const auto& d : hostadmin::ListDocuments(id_)) {
      titles.append(d.title.isNull() ? QStringLiteral("<null>") : d.title);
    }
    return titles;
  }

  // The collection's database file.
  QString File() const {
    for (const auto& info : hostadmin::ListCollections()) {
      if (info.id == id_) {
        return info.file;
      }
    }
    return QString();
  }

  int populated_ = 0;
  std::int32_t id_ = 0, a_ = 0, b_ = 0;
  std::shared_ptr<HostCollection> inner_;
  std::shared_ptr<FailingCollection> collection_;
  FakePort port_;
  RunState state_;
};

}  // namespace qm::testing
