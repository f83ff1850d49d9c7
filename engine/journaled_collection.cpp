#include "engine/journaled_collection.h"

#include <QDateTime>
#include <QDir>

#include <optional>

#include "engine/document_field.h"
#include "engine/mod_resource.h"
#include "engine/undo_texts.h"

namespace qm {
namespace {

struct JournalTarget {
  RunJournal& journal;
  std::int64_t run;
  SearchField field;
};

class JournaledDocument final : public HostDocument {
 public:
  JournaledDocument(std::shared_ptr<HostDocument> inner, const QVariant& entryId,
                    JournalTarget target)
      : inner_(std::move(inner)),
        entryId_(entryId),
        target_(target),
        before_(ReadDocumentField(*inner_, target.field)) {}

  QString Title() const override { return inner_->Title(); }
  void SetTitle(const QString& value) override {
    inner_->SetTitle(value);
    Written(SearchField::Title, value);
  }
  QString Comment() const override { return inner_->Comment(); }
  void SetComment(const QString& value) override {
    inner_->SetComment(value);
    Written(SearchField::Comment, value);
  }
  QString Url() const override { return inner_->Url(); }
  void SetUrl(const QString& value) override {
    inner_->SetUrl(value);
    Written(SearchField::Url, value);
  }
  void ClearTitle() override {
    inner_->ClearTitle();
    Written(SearchField::Title, QString());
  }
  void ClearComment() override {
    inner_->ClearComment();
    Written(SearchField::Comment, QString());
  }
  void ClearUrl() override {
    inner_->ClearUrl();
    Written(SearchField::Url, QString());
  }

  void Save() override {
    if (after_) {
      target_.journal.RecordDocument(target_.run, JournalDocument{entryId_, before_, *after_});
    }
    inner_->Save();
    if (after_) {
      before_ = *after_;
      after_.reset();
    }
  }

 private:
  void Written(SearchField field, const QString& value) {
    if (field == target_.field) {
      after_ = value;
    }
  }

  std::shared_ptr<HostDocument> inner_;
  QVariant entryId_;
  JournalTarget target_;
  QString before_;
  std::optional<QString> after_;
};

class JournaledHostCollection final : public HostCollection {
 public:
  JournaledHostCollection(std::shared_ptr<HostCollection> inner, JournalTarget target)
      : inner_(std::move(inner)), target_(target) {}

  std::int32_t ID() const override { return inner_->ID(); }
  QString Name() const override { return inner_->Name(); }
  std::int32_t Kind() const override { return inner_->Kind(); }
  std::shared_ptr<HostConnection> Connection() override { return inner_->Connection(); }
  std::shared_ptr<HostFolder> GetFolder(std::int32_t folderId) override {
    return inner_->GetFolder(folderId);
  }
  std::shared_ptr<HostDocument> GetDocument(const QVariant& entryId) override {
    return std::make_shared<JournaledDocument>(inner_->GetDocument(entryId), entryId, target_);
  }

 private:
  std::shared_ptr<HostCollection> inner_;
  JournalTarget target_;
};

}  // namespace

std::shared_ptr<HostCollection> JournaledCollection(std::shared_ptr<HostCollection> collection,
                                                    RunJournal& journal, std::int64_t run,
                                                    SearchField field) {
  return std::make_shared<JournaledHostCollection>(std::move(collection),
                                                   JournalTarget{journal, run, field});
}

JournaledRun BeginJournaledRun(WindowPort& port, std::shared_ptr<HostCollection> collection,
                               const RunState& state) {
  RunJournal* journal = port.Journal();
  if (journal == nullptr) {
    return JournaledRun{std::move(collection), QString()};
  }
  JournalRun run;
  run.started = QDateTime::currentDateTimeUtc();
  run.collectionId = collection->ID();
  run.collectionName = collection->Name();
  run.field = state.fieldIndex;
  run.searchText = state.searchText;
  run.replaceText = state.replaceText;
  const std::int64_t number = journal->BeginRun(run);
  QString notice = JournalNotice(port, journal->TakeMovedAside());
  return JournaledRun{JournaledCollection(std::move(collection), *journal, number, state.fieldIndex),
                      std::move(notice)};
}

QString WithJournalNotice(const QString& note, const QString& notice) {
  return notice.isEmpty() ? note : note + QLatin1Char(' ') + notice;
}

QString JournalNotice(WindowPort& port, const QString& movedTo) {
  if (movedTo.isEmpty()) {
    return QString();
  }
  return modResource::printf(port.Text(undo_text::kJournalMovedAside),
                             {QDir::toNativeSeparators(movedTo)});
}

}  // namespace qm
