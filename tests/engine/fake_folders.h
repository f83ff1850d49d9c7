// Small in-memory folder trees for the folder walk, with a log of what the
// walk asked for and when.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

#include "engine/query/folder_scope.h"
#include "hostlib/host_library.h"

namespace qm::testing {

class FakeFolder;

class FakeFolderList : public HostFolderList {
 public:
  explicit FakeFolderList(std::vector<std::shared_ptr<HostFolder>> folders)
      : folders_(std::move(folders)) {}
  std::int32_t Count() const override { return static_cast<std::int32_t>(folders_.size()); }
  std::shared_ptr<HostFolder> Item(std::int32_t index) const override {
    return folders_.at(static_cast<std::size_t>(index));
  }

 private:
  std::vector<std::shared_ptr<HostFolder>> folders_;
};

// A folder with fixed children; every ID and SubFolders read goes to `log`.
class FakeFolder : public HostFolder {
 public:
  FakeFolder(std::int32_t id, std::vector<std::shared_ptr<FakeFolder>> children,
             std::shared_ptr<QStringList> log)
      : id_(id), children_(std::move(children)), log_(std::move(log)) {}
  std::int32_t ID() const override {
    log_->append(QStringLiteral("id %1").arg(id_));
    return id_;
  }
  QString Name() const override { return QStringLiteral("Folder %1").arg(id_); }
  std::int32_t IconIndex() const override { return 0; }
  std::shared_ptr<HostCollection> Collection() const override { return nullptr; }
  std::shared_ptr<HostFolderList> SubFolders() const override {
    log_->append(QStringLiteral("subfolders %1").arg(id_));
    return std::make_shared<FakeFolderList>(
        std::vector<std::shared_ptr<HostFolder>>(children_.begin(), children_.end()));
  }

 private:
  std::int32_t id_;
  std::vector<std::shared_ptr<FakeFolder>> children_;
  std::shared_ptr<QStringList> log_;
};

// Builds trees with one shared log: Folder(5000, {Folder(5001), Folder(300)}).
class FakeTree {
 public:
  std::shared_ptr<FakeFolder> Folder(std::int32_t id,
                                     std::vector<std::shared_ptr<FakeFolder>> children = {}) {
    return std::make_shared<FakeFolder>(id, std::move(children), log);
  }
  std::shared_ptr<QStringList> log = std::make_shared<QStringList>();
};

// The window's side of the walk: the check box answers through a function of
// how many event passes ran so far, and every pass goes to the log.
class FakeWalkEvents : public FolderWalkEvents {
 public:
  explicit FakeWalkEvents(std::shared_ptr<QStringList> log, bool include = true)
      : log_(std::move(log)), include_([include](int) { return include; }) {}
  bool IncludeSubfolders() override {
    ++checkBoxReads;
    return include_(eventPasses);
  }
  void ProcessEvents() override {
    ++eventPasses;
    if (log_) {
      log_->append(QStringLiteral("events"));
    }
  }
  void SetInclude(std::function<bool(int)> include) { include_ = std::move(include); }

  int eventPasses = 0;
  int checkBoxReads = 0;

 private:
  std::shared_ptr<QStringList> log_;
  std::function<bool(int)> include_;
};

}  // namespace qm::testing
