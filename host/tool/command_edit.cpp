// set-field, delete-document: one document changed as the host's own window
// changes it, for trying the tool while a run goes on. Quiet on success, so
// that a script may call them in a tight loop.
#include <limits>
#include <memory>

#include "host/admin/host_admin.h"
#include "host/tool/qmhost_commands.h"
#include "hostlib/host_library.h"

namespace qm::qmhost {

namespace {

constexpr std::int64_t kMaxEntryId = std::numeric_limits<std::int64_t>::max();

struct FieldAccess {
  const char* name;
  void (HostDocument::*set)(const QString&);
  void (HostDocument::*clear)();
};

constexpr FieldAccess kFields[] = {
    {"title", &HostDocument::SetTitle, &HostDocument::ClearTitle},
    {"comment", &HostDocument::SetComment, &HostDocument::ClearComment},
    {"url", &HostDocument::SetUrl, &HostDocument::ClearUrl},
};

const FieldAccess& FieldOption(const ArgumentList& args) {
  const QString name = args.Required(QStringLiteral("--field"));
  for (const FieldAccess& field : kFields) {
    if (name == QLatin1String(field.name)) return field;
  }
  throw UsageError{QStringLiteral("--field: \"%1\" is none of title, comment, url").arg(name)};
}

std::int64_t EntryOption(const ArgumentList& args) {
  return ParseWholeNumber(args.Required(QStringLiteral("--entry")), QStringLiteral("--entry"), 1,
                          kMaxEntryId);
}

// Through the host library, as the host's window saves: the document is
// read, one field written, and Save stores that field alone in one
// transaction, leaving whatever else changed meanwhile.
int RunSetField(const ArgumentList& args, QTextStream&, QTextStream&) {
  const bool clear = args.Flag(QStringLiteral("--clear"));
  const bool valueGiven = !args.positionals().isEmpty();
  if (clear == valueGiven) {
    throw UsageError{clear ? QStringLiteral("give VALUE or --clear, not both")
                           : QStringLiteral("VALUE is missing (or --clear)")};
  }
  const FieldAccess& field = FieldOption(args);
  const std::int64_t entryId = EntryOption(args);
  const std::int32_t collection = CollectionOption(args);
  const std::shared_ptr<HostDocument> document = CreateHostApplication()
                                                     ->Collections()
                                                     ->Item(QVariant(collection))
                                                     ->GetDocument(QVariant(qlonglong{entryId}));
  if (clear) {
    ((*document).*field.clear)();
  } else {
    ((*document).*field.set)(args.positionals().at(0));
  }
  document->Save();
  return 0;
}

int RunDeleteDocument(const ArgumentList& args, QTextStream&, QTextStream&) {
  const std::int64_t entryId = EntryOption(args);
  hostadmin::DeleteDocuments(CollectionOption(args), {entryId});
  return 0;
}

}  // namespace

void AddEditCommands(std::vector<Subcommand>& into) {
  const OptionInfo collection{QStringLiteral("--collection"), true, QStringLiteral("ID"),
                              QStringLiteral("the collection's ID, as \"qmhost list\" shows it")};
  const OptionInfo entry{
      QStringLiteral("--entry"), true, QStringLiteral("ENTRYID"),
      QStringLiteral("the document's EntryID, as \"qmhost documents\" shows it")};
  into.push_back(
      {QStringLiteral("set-field"),
       QStringLiteral("--collection ID --entry ENTRYID --field title|comment|url VALUE|--clear"),
       QStringLiteral("change one field of one document, as the host's window does"),
       QStringLiteral(
           "Reads the document, sets the field to VALUE (an empty VALUE is an empty text)\n"
           "or with --clear takes its value away, and saves it in one transaction; the\n"
           "document's other fields are left as they are, also when another program\n"
           "changed them meanwhile. Prints nothing when it succeeds. A VALUE that begins\n"
           "with \"-\" follows \"--\"."),
       {collection,
        entry,
        {QStringLiteral("--field"), true, QStringLiteral("title|comment|url"),
         QStringLiteral("the field to change")},
        {QStringLiteral("--clear"), false, {}, QStringLiteral("leave the field without a value")}},
       {QStringLiteral("[VALUE]")},
       &RunSetField});
  into.push_back(
      {QStringLiteral("delete-document"),
       QStringLiteral("--collection ID --entry ENTRYID"),
       QStringLiteral("delete one document"),
       QStringLiteral("Deletes the document from its collection. Its EntryID is never given to\n"
                      "another document. Prints nothing when it succeeds."),
       {collection, entry},
       {},
       &RunDeleteDocument});
}

}  // namespace qm::qmhost
