// Wrappers around the real stand-in host objects that fail on demand and
// count what the engine asked for; everything else is the real object's.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

#include "engine/fake_folders.h"
#include "host/lib/host_document.h"
#include "hostlib/host_library.h"
#include "platform/error.h"

namespace qm::testing {

inline constexpr std::int32_t kInjectedFailure = static_cast<std::int32_t>(0x80041FFFu);

// The stand-in's own document, copied, with a Save that runs beforeSave
// first: its fields read and write as the host's do, whatever fields the
// host has.
class FailingDocument : public host::SqliteDocument {
 public:
  FailingDocument(const host::SqliteDocument& real, std::function<void()> beforeSave)
      : SqliteDocument(real), beforeSave_(std::move(beforeSave)) {}
  void Save() override {
    beforeSave_();
    SqliteDocument::Save();
  }

 private:
  std::function<void()> beforeSave_;
};

class FailingCollection : public HostCollection {
 public:
  explicit FailingCollection(std::shared_ptr<HostCollection> inner) : inner_(std::move(inner)) {}

  // The n-th Save (1-based) of a document from this collection throws; 0
  // for never.
  int failAtSave = 0;
  int saves = 0;
  int connectionCalls = 0;

  std::int32_t ID() const override { return inner_->ID(); }
  QString Name() const override { return inner_->Name(); }
  std::int32_t Kind() const override { return inner_->Kind(); }
  QString Identity() const override { return inner_->Identity(); }
  std::shared_ptr<HostConnection> Connection() override {
    ++connectionCalls;
    return inner_->Connection();
  }
  std::shared_ptr<HostFolder> GetFolder(std::int32_t folderId) override {
    return inner_->GetFolder(folderId);
  }
  std::shared_ptr<HostDocument> GetDocument(const QVariant& entryId) override {
    const auto real = std::dynamic_pointer_cast<host::SqliteDocument>(inner_->GetDocument(entryId));
    if (!real) {
      throw std::logic_error("a FailingCollection wraps a collection of the stand-in host");
    }
    return std::make_shared<FailingDocument>(*real, [this] {
      if (++saves == failAtSave) {
        throw Error(kInjectedFailure, QStringLiteral("Test"), QStringLiteral("disk full"));
      }
    });
  }

 private:
  std::shared_ptr<HostCollection> inner_;
};

// A real folder seen through a FailingCollection; with `id` set it reports
// that ID and no subfolders instead.
class WrappedFolder : public HostFolder {
 public:
  WrappedFolder(std::shared_ptr<HostFolder> inner, std::shared_ptr<HostCollection> collection,
                std::optional<std::int32_t> id = std::nullopt)
      : inner_(std::move(inner)), collection_(std::move(collection)), id_(id) {}
  std::int32_t ID() const override { return id_ ? *id_ : inner_->ID(); }
  QString Name() const override { return inner_->Name(); }
  std::int32_t IconIndex() const override { return inner_->IconIndex(); }
  std::shared_ptr<HostCollection> Collection() const override { return collection_; }
  std::shared_ptr<HostFolderList> SubFolders() const override {
    if (id_) {
      return std::make_shared<FakeFolderList>(std::vector<std::shared_ptr<HostFolder>>{});
    }
    return inner_->SubFolders();
  }

 private:
  std::shared_ptr<HostFolder> inner_;
  std::shared_ptr<HostCollection> collection_;
  std::optional<std::int32_t> id_;
};

}  // namespace qm::testing
