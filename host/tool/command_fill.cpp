// generate, import-bookmarks, export-bookmarks.
#include "host/admin/bookmarks.h"
#include "host/admin/host_admin.h"
#include "host/admin/sample_generator.h"
#include "host/tool/collection_bookmarks.h"
#include "host/tool/qmhost_commands.h"

namespace qm::qmhost {

namespace {

// Documents per transaction: large enough to be fast, small enough that the
// journal of one transaction stays modest for any number of documents.
constexpr std::int64_t kGenerateBatch = 100000;
constexpr std::int64_t kMaxDocuments = 1000000000;
constexpr std::int64_t kMaxFolders = 1000000;

std::int64_t AddBatch(std::int32_t collection, host::SampleGenerator& generator,
                      const std::vector<std::int32_t>& folderIds, bool withFolders,
                      std::vector<std::int32_t>* newFolderIds) {
  hostadmin::CollectionWriter writer(collection);
  if (withFolders) {
    for (const auto& folder : generator.Folders()) {
      const std::int32_t parent = folder.parentId >= host::kFirstSampleFolderId
                                      ? (*newFolderIds)[static_cast<std::size_t>(
                                            folder.parentId - host::kFirstSampleFolderId)]
                                      : folder.parentId;
      newFolderIds->push_back(writer.AddFolder(parent, folder.name, folder.symbol));
    }
  }
  const std::vector<std::int32_t>& ids = withFolders ? *newFolderIds : folderIds;
  host::SampleDocument sample;
  hostadmin::NewDocument document;
  std::int64_t added = 0;
  while (added < kGenerateBatch && generator.Next(sample)) {
    document.folderId =
        sample.folderId >= host::kFirstSampleFolderId
            ? ids[static_cast<std::size_t>(sample.folderId - host::kFirstSampleFolderId)]
            : sample.folderId;
    document.title = std::move(sample.title);
    document.comment = std::move(sample.comment);
    document.url = std::move(sample.url);
    writer.AddDocument(document);
    ++added;
  }
  writer.Commit();
  return added;
}

int RunGenerate(const ArgumentList& args, QTextStream& out, QTextStream& err) {
  host::SampleOptions options;
  options.documents = ParseWholeNumber(args.Required(QStringLiteral("--documents")),
                                       QStringLiteral("--documents"), 0, kMaxDocuments);
  if (const auto folders = args.Value(QStringLiteral("--folders"))) {
    options.folders = static_cast<std::int32_t>(
        ParseWholeNumber(*folders, QStringLiteral("--folders"), 0, kMaxFolders));
  }
  if (const auto seed = args.Value(QStringLiteral("--seed"))) {
    options.seed = ParseSeed(*seed, QStringLiteral("--seed"));
  }
  const std::int32_t collection = CollectionOption(args);

  host::SampleGenerator generator(options);
  std::vector<std::int32_t> folderIds;
  std::int64_t added = 0;
  try {
    added += AddBatch(collection, generator, folderIds, true, &folderIds);
    while (added < options.documents) {
      const std::int64_t batch = AddBatch(collection, generator, folderIds, false, nullptr);
      if (batch == 0) break;
      added += batch;
    }
  } catch (const Error&) {
    if (added > 0) {
      err << "qmhost generate: " << added << " of " << options.documents
          << " documents were added before the failure.\n";
    }
    throw;
  }
  out << "Added " << folderIds.size() << " folders and " << added << " documents to collection "
      << collection << " (seed " << options.seed << ").\n";
  return 0;
}

// One line on the character set a bookmark file was read in and why, so
// that garbled titles can be traced to a wrong declaration.
QString CharsetLine(const QString& file, const host::CharsetUse& use) {
  using Evidence = host::CharsetUse::Evidence;
  QString why;
  switch (use.evidence) {
    case Evidence::kByteOrderMark:
      why = QStringLiteral("byte-order mark");
      break;
    case Evidence::kDeclared:
      why = use.declared.compare(use.name, Qt::CaseInsensitive) == 0
                ? QStringLiteral("declared")
                : QStringLiteral("declared as \"%1\"").arg(use.declared);
      break;
    case Evidence::kUndeclared:
      why = use.windows1252Bytes > 0 || use.name == u"UTF-8"
                ? QStringLiteral("no character set declared")
                : QStringLiteral("no character set declared; the bytes are not UTF-8");
      break;
  }
  QString line = QStringLiteral("Read %1 as %2 (%3)").arg(file, use.name, why);
  if (use.windows1252Bytes > 0) {
    line += QStringLiteral(", and its %1 %2 not UTF-8 as windows-1252")
                .arg(use.windows1252Bytes)
                .arg(use.windows1252Bytes == 1 ? QStringLiteral("byte that is")
                                               : QStringLiteral("bytes that are"));
  }
  return line + u'.';
}

int RunImport(const ArgumentList& args, QTextStream& out, QTextStream& err) {
  const QString file = args.positionals().at(0);
  const std::int32_t collection = CollectionOption(args);
  host::BookmarkParseNotes notes;
  const host::BookmarkTree tree = host::ReadBookmarkFile(file, &notes);
  out << CharsetLine(file, notes.charset) << "\n";
  const ImportCounts counts = ImportBookmarkTree(collection, tree);
  out << "Imported " << counts.documents << " bookmarks in " << counts.folders
      << " folders into collection " << collection << ".\n";
  if (notes.flattenedFolders > 0) {
    err << "qmhost import-bookmarks: " << notes.flattenedFolders << " folders nested deeper than "
        << host::kMaxFolderDepth << " levels were merged into the folder above them.\n";
  }
  if (counts.folderDescriptions > 0) {
    err << "qmhost import-bookmarks: " << counts.folderDescriptions
        << " folder descriptions were not kept; host folders have no comment.\n";
  }
  return 0;
}

int RunExport(const ArgumentList& args, QTextStream& out, QTextStream&) {
  const QString file = args.positionals().at(0);
  const std::int32_t collection = CollectionOption(args);
  const host::BookmarkTree tree = ExportBookmarkTree(collection);
  host::WriteBookmarkFile(file, tree);
  const host::BookmarkCounts counts = host::CountBookmarks(tree);
  out << "Exported " << counts.links << " bookmarks in " << counts.folders << " folders to " << file
      << ".\n";
  return 0;
}

}  // namespace

void AddFillCommands(std::vector<Subcommand>& into) {
  const OptionInfo collection{QStringLiteral("--collection"), true, QStringLiteral("ID"),
                              QStringLiteral("the collection's ID, as \"qmhost list\" shows it")};
  into.push_back(
      {QStringLiteral("generate"),
       QStringLiteral("--collection ID --documents N [--folders M] "
                      "[--seed S]"),
       QStringLiteral("fill a collection with sample folders and documents"),
       QStringLiteral(
           "Adds M folders (every folder symbol among them when M is 23 or more) and N\n"
           "documents with German and English titles, many of them carrying site-name\n"
           "fragments such as \" - Example News\" or \"Druckversion - \", comments and\n"
           "addresses, some empty and some without a value. The same seed gives the same\n"
           "content. Documents are stored in transactions of 100000, so any number fits\n"
           "in little memory."),
       {collection,
        {QStringLiteral("--documents"), true, QStringLiteral("N"),
         QStringLiteral("how many documents (0 or more)")},
        {QStringLiteral("--folders"), true, QStringLiteral("M"),
         QStringLiteral("how many folders (0 or more; default 40)")},
        {QStringLiteral("--seed"), true, QStringLiteral("S"),
         QStringLiteral("seed of the content (default 1)")}},
       {},
       &RunGenerate});
  into.push_back(
      {QStringLiteral("import-bookmarks"),
       QStringLiteral("FILE --collection ID"),
       QStringLiteral("add a browser's bookmark export (HTML) to a collection"),
       QStringLiteral(
           "Reads a bookmark file in the HTML format browsers export. Its folders\n"
           "become folders below the collection's root; its bookmarks become documents\n"
           "(title, address, description as comment). Bookmarks at the top of the file\n"
           "go to the folder of new documents. All or nothing: a failure stores nothing.\n\n"
           "The file is read in the character set it declares (UTF-8, UTF-16, windows-1252\n"
           "and the other common single-byte sets: ISO-8859-1 to -16, windows-1250 to\n"
           "-1258, x-mac-roman, KOI8-R, ...); a set it cannot read is an error. A file\n"
           "that declares none is read as UTF-8 where it is valid UTF-8 and as\n"
           "windows-1252 where not. The first line of output says which was used."),
       {collection},
       {QStringLiteral("FILE")},
       &RunImport});
  into.push_back(
      {QStringLiteral("export-bookmarks"),
       QStringLiteral("--collection ID FILE"),
       QStringLiteral("write a collection as a bookmark file (HTML)"),
       QStringLiteral("Writes the collection's folders and documents in the HTML format browsers\n"
                      "import, in UTF-8. The documents of the root and of the folder of new\n"
                      "documents come at the top. An existing FILE is replaced only once the new\n"
                      "one is complete."),
       {collection},
       {QStringLiteral("FILE")},
       &RunExport});
}

}  // namespace qm::qmhost
