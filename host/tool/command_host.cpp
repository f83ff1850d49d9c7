// install, collection create, list, documents.
#include <QDir>
#include <QFileInfo>

#include "host/admin/host_admin.h"
#include "host/admin/resource_library_writer.h"
#include "host/lib/host_errors.h"
#include "host/tool/document_stream.h"
#include "host/tool/qmhost_commands.h"

namespace qm::qmhost {

namespace {

constexpr std::int32_t kMaxId = 2147483647;

QString DefaultInstallDir(hostadmin::HostEdition edition) {
  QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
  if (dataHome.isEmpty() || QDir::isRelativePath(dataHome)) {
    dataHome = QDir::homePath() + QStringLiteral("/.local/share");
  }
  const bool german = edition == hostadmin::HostEdition::German;
  return dataHome + (german ? QStringLiteral("/Quillmarke/") : QStringLiteral("/Quillmark/"));
}

int RunInstall(const ArgumentList& args, QTextStream& out, QTextStream&) {
  const QString editionText = args.Required(QStringLiteral("--edition"));
  hostadmin::HostEdition edition;
  if (editionText == u"en") {
    edition = hostadmin::HostEdition::English;
  } else if (editionText == u"de") {
    edition = hostadmin::HostEdition::German;
  } else {
    throw UsageError{QStringLiteral("--edition: \"%1\" is neither en nor de").arg(editionText)};
  }
  QString dir = args.Value(QStringLiteral("--install-dir")).value_or(DefaultInstallDir(edition));
  if (dir.isEmpty()) throw UsageError{QStringLiteral("--install-dir: the folder name is empty")};
  // The host keeps the folder as given; a relative one would mean something
  // else from every other working folder.
  dir = QFileInfo(dir).absoluteFilePath();
  hostadmin::InstallHost(edition, dir);
  if (!args.Flag(QStringLiteral("--no-resource-library"))) {
    // A real host ships its folder icons in this library; with it the tool
    // takes on the host's modern look.
    host::WriteModernIconLibrary(QDir(dir).filePath(QStringLiteral("QMRes.dll")));
  }
  const auto host = hostadmin::FindHost();
  out << "Installed the " << (editionText == u"en" ? "English" : "German") << " edition in " << dir
      << ".\n";
  if (host && host->edition != edition) {
    out << "Note: the German edition is installed too, and it is the one that is found.\n";
  }
  for (const auto& c : hostadmin::ListCollections()) {
    if (c.isDefault) out << "Default collection: " << c.id << " " << EscapeField(c.name) << "\n";
  }
  return 0;
}

int RunCollectionCreate(const ArgumentList& args, QTextStream& out, QTextStream&) {
  const QString name = args.positionals().at(0);
  if (name.trimmed().isEmpty()) throw UsageError{QStringLiteral("the collection name is empty")};
  out << hostadmin::CreateCollection(name, args.Flag(QStringLiteral("--network"))) << "\n";
  return 0;
}

int RunList(const ArgumentList&, QTextStream& out, QTextStream&) {
  for (const auto& c : hostadmin::ListCollections()) {
    out << c.id << '\t' << EscapeField(c.name) << '\t' << (c.kind == 1 ? "local" : "network")
        << '\t' << (c.isDefault ? "*" : "-") << '\t' << EscapeField(c.file) << '\n';
  }
  return 0;
}

int RunDocuments(const ArgumentList& args, QTextStream& out, QTextStream&) {
  const std::int32_t collection = CollectionOption(args);
  std::optional<std::int32_t> folder;
  if (const auto text = args.Value(QStringLiteral("--folder"))) {
    folder =
        static_cast<std::int32_t>(ParseWholeNumber(*text, QStringLiteral("--folder"), 1, kMaxId));
    bool known = false;
    for (const auto& f : hostadmin::FolderTree(collection)) known = known || f.id == *folder;
    if (!known) {
      host::Throw(host::errc::kUnknownFolder, host::kAdminSource,
                  QStringLiteral("Collection %1 has no folder with the ID %2.")
                      .arg(collection)
                      .arg(*folder));
    }
  }
  ForEachDocument(collection, folder, [&out](const hostadmin::DocumentInfo& d) {
    out << d.entryId << '\t' << d.folderId << '\t' << EscapeField(d.title) << '\t'
        << EscapeField(d.comment) << '\t' << EscapeField(d.url) << '\n';
  });
  return 0;
}

}  // namespace

QString EscapeField(const QString& field) {
  if (field.isNull()) return QStringLiteral("\\N");
  QString escaped;
  escaped.reserve(field.size());
  for (const QChar c : field) {
    switch (c.unicode()) {
      case u'\\':
        escaped += QStringLiteral("\\\\");
        break;
      case u'\t':
        escaped += QStringLiteral("\\t");
        break;
      case u'\n':
        escaped += QStringLiteral("\\n");
        break;
      case u'\r':
        escaped += QStringLiteral("\\r");
        break;
      default:
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F)) {
          escaped += QStringLiteral("\\x%1").arg(uint{c.unicode()}, 2, 16, QLatin1Char('0'));
        } else {
          escaped += c;
        }
        break;
    }
  }
  return escaped;
}

std::int32_t CollectionOption(const ArgumentList& args) {
  const auto id = static_cast<std::int32_t>(ParseWholeNumber(
      args.Required(QStringLiteral("--collection")), QStringLiteral("--collection"), 1, kMaxId));
  for (const auto& c : hostadmin::ListCollections()) {
    if (c.id == id) return id;
  }
  host::Throw(host::errc::kUnknownCollection, host::kAdminSource,
              QStringLiteral("There is no collection with the ID %1; \"qmhost list\" shows "
                             "the collections.")
                  .arg(id));
}

void AddHostCommands(std::vector<Subcommand>& into) {
  const OptionInfo collection{QStringLiteral("--collection"), true, QStringLiteral("ID"),
                              QStringLiteral("the collection's ID, as \"qmhost list\" shows it")};
  into.push_back(
      {QStringLiteral("install"),
       QStringLiteral("--edition en|de [--install-dir DIR]"),
       QStringLiteral("register a host: install folder, registry keys, default collection"),
       QStringLiteral(
           "Writes the edition's install key with \"AppPath\" (the install folder, ending\n"
           "in \"/\") and its settings key, and creates a default collection when the\n"
           "host has none. The install folder defaults to $XDG_DATA_HOME/Quillmark/\n"
           "(German edition: .../Quillmarke/), with XDG_DATA_HOME defaulting to\n"
           "~/.local/share. Installing again updates the folder and keeps the collections.\n"
           "The folder also gets the host's resource library QMRes.dll with its folder icons."),
       {{QStringLiteral("--edition"), true, QStringLiteral("en|de"),
         QStringLiteral("en: the English edition, de: the German edition")},
        {QStringLiteral("--install-dir"), true, QStringLiteral("DIR"),
         QStringLiteral("the install folder (created when missing)")},
        {QStringLiteral("--no-resource-library"),
         false,
         {},
         QStringLiteral("leave QMRes.dll out (the tool then uses its classic icons)")}},
       {},
       &RunInstall});
  into.push_back(
      {QStringLiteral("collection create"),
       QStringLiteral("NAME [--network]"),
       QStringLiteral("create an empty collection and print its ID"),
       QStringLiteral("Creates the collection's database in the host's install folder, with its\n"
                      "root folder and the host's own folders, and prints the new ID alone on\n"
                      "a line. The host's first collection becomes its default."),
       {{QStringLiteral("--network"), false, {}, QStringLiteral("a network collection")}},
       {QStringLiteral("NAME")},
       &RunCollectionCreate});
  into.push_back(
      {QStringLiteral("list"),
       {},
       QStringLiteral("list the collections"),
       QStringLiteral("One collection per line, tab-separated: ID, name, kind (local or\n"
                      "network), \"*\" for the default collection or \"-\", database file.\n"
                      "Texts are escaped as in \"qmhost documents\"."),
       {},
       {},
       &RunList});
  into.push_back(
      {QStringLiteral("documents"),
       QStringLiteral("--collection ID [--folder F]"),
       QStringLiteral("print the documents of a collection, one per line"),
       QStringLiteral(
           "One document per line in EntryID order, tab-separated: EntryID,\n"
           "VisibleInFolderID, Title, Comment, Url. So that every document stays on one\n"
           "line, a backslash is written as \\\\, a tab as \\t, a line feed as \\n and a\n"
           "carriage return as \\r; a field without a value is written as \\N. Any other\n"
           "control character is written as \\x and two hexadecimal digits."),
       {collection,
        {QStringLiteral("--folder"), true, QStringLiteral("F"),
         QStringLiteral("only the documents directly in folder F")}},
       {},
       &RunDocuments});
}

}  // namespace qm::qmhost
