#include "engine/query/candidate_pages.h"

#include <algorithm>
#include <memory>

#include "engine/query/match_query.h"
#include "platform/whole_number.h"

namespace qm {
namespace {

const QString kEntryId = QStringLiteral("EntryID");
const QString kFolderId = QStringLiteral("VisibleInFolderID");

// A folder list's page names this many folders at most, so that a long list
// is not parsed again for every page.
constexpr std::size_t kFoldersPerPage = 512;

std::vector<std::int64_t> SortedFolders(const QueryScope& scope) {
  std::vector<std::int64_t> folders;
  if (scope.IsWholeCollection()) {
    return folders;
  }
  // QueryScope let nothing but digits and commas in.
  for (const QStringView id : QStringView(scope.FolderIdList()).split(u',')) {
    folders.push_back(id.toLongLong());
  }
  std::sort(folders.begin(), folders.end());
  folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
  return folders;
}

}  // namespace

CandidatePages::CandidatePages(HostConnection& connection, const QueryScope& scope,
                               SearchField field, const QString& searchText,
                               const SearchOptions& options)
    : connection_(connection),
      wholeCollection_(scope.IsWholeCollection()),
      folders_(SortedFolders(scope)),
      column_(ColumnName(field)),
      // The field first: the recordset finds a column by going through them.
      select_(QStringLiteral("SELECT ") + column_ +
              QStringLiteral(", EntryID, VisibleInFolderID FROM Document WHERE ")),
      condition_(CandidateCondition(field, searchText, options) +
                 QStringLiteral(" ORDER BY VisibleInFolderID, EntryID LIMIT ") +
                 QString::number(kCandidatePage)),
      done_(!wholeCollection_ && folders_.empty()) {}

QString CandidatePages::Where() const {
  if (wholeCollection_) {
    // A row value alone is a range the database seeks; beside the scope's
    // own range it would only filter, and every page would start at the
    // front. The row it goes on after was in scope, so what follows is too.
    return after_ ? QStringLiteral("(VisibleInFolderID,EntryID)>(%1,%2)")
                        .arg(afterFolder_)
                        .arg(afterEntry_)
                  : QStringLiteral("(VisibleInFolderID>1)");
  }
  if (after_) {
    return QStringLiteral("VisibleInFolderID=%1 AND EntryID>%2").arg(afterFolder_).arg(afterEntry_);
  }
  QString where = QStringLiteral("VisibleInFolderID IN (");
  const std::size_t end = std::min(folders_.size(), folder_ + kFoldersPerPage);
  for (std::size_t i = folder_; i < end; ++i) {
    if (i > folder_) {
      where += u',';
    }
    where += QString::number(folders_[i]);
  }
  return where + u')';
}

void CandidatePages::Advance(std::size_t count, const QVariant& lastFolder,
                             std::int64_t lastEntry) {
  const bool full = count == kCandidatePage;
  if (!full && wholeCollection_) {
    done_ = true;
    return;
  }
  if (!full) {
    folder_ = after_ ? folder_ + 1 : std::min(folders_.size(), folder_ + kFoldersPerPage);
    after_ = false;
    done_ = folder_ >= folders_.size();
    return;
  }
  const std::optional<std::int64_t> folder = WholeNumber(lastFolder);
  if (!folder) {
    stuck_ = done_ = true;
    return;
  }
  if (!wholeCollection_) {
    const auto at = std::lower_bound(folders_.begin() + static_cast<std::ptrdiff_t>(folder_),
                                     folders_.end(), *folder);
    if (at == folders_.end() || *at != *folder) {
      // A row from outside the list: nothing says where the list goes on.
      stuck_ = done_ = true;
      return;
    }
    folder_ = static_cast<std::size_t>(at - folders_.begin());
  }
  after_ = true;
  afterFolder_ = *folder;
  afterEntry_ = lastEntry;
}

bool CandidatePages::Next(const Judge& judge, std::vector<Taken>& taken) {
  taken.clear();
  if (done_) {
    return false;
  }
  // Read through at once and closed before anything else runs, so the
  // database's read is not held while window events do.
  const std::shared_ptr<HostRecordset> page =
      connection_.OpenForwardOnly(select_ + Where() + condition_);
  RecordsetCloser closer(page);
  std::size_t count = 0;
  QVariant lastFolder;
  std::int64_t lastEntry = 0;
  const auto entryIdOf = [&](std::int64_t& id) {
    const QVariant entryId = page->Value(kEntryId);
    if (entryId.typeId() != QMetaType::LongLong) {
      stuck_ = done_ = true;
      return false;
    }
    id = entryId.toLongLong();
    return true;
  };
  for (; !page->Eof(); page->MoveNext()) {
    ++count;
    const Verdict verdict = judge(page->Value(column_));
    if (verdict != Verdict::kLeave) {
      Taken one{0, verdict == Verdict::kLater};
      if (!entryIdOf(one.entryId)) {
        break;
      }
      taken.push_back(one);
    }
    if (count == kCandidatePage) {
      // The last row a page can have; only a full page goes on after it.
      if (!entryIdOf(lastEntry)) {
        break;
      }
      lastFolder = page->Value(kFolderId);
    }
  }
  closer.Close();
  if (stuck_) {
    taken.clear();
    return false;
  }
  Advance(count, lastFolder, lastEntry);
  return true;
}

}  // namespace qm
