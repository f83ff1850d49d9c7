#include "window/dialog_kit.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QStandardPaths>
#include <QTableView>

#include <exception>
#include <optional>

#include "platform/error.h"
#include "window/user_dialogs.h"

namespace qm {

QLabel* PlainLabel(QWidget* parent, const char* name) {
  auto* label = Named(new QLabel(parent), name);
  label->setTextFormat(Qt::PlainText);
  return label;
}

QTableView* RowList(QWidget* parent, const char* name) {
  auto* view = Named(new QTableView(parent), name);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setTabKeyNavigation(false);
  view->setWordWrap(false);
  view->setShowGrid(false);
  view->setAlternatingRowColors(true);
  QHeaderView* rows = view->verticalHeader();
  rows->hide();
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(view->fontMetrics().height() + 6);
  view->horizontalHeader()->setStretchLastSection(true);
  view->horizontalHeader()->setHighlightSections(false);
  return view;
}

void RestoreWindowSize(QDialog& window, const QString& settingsKey, const WindowSizeValues& values,
                       QSize first) {
  QSize size = LoadWindowSize(settingsKey, values);
  if (!size.isValid()) {
    size = first;
  }
  if (const QScreen* screen = QApplication::primaryScreen()) {
    size = size.boundedTo(screen->availableSize());
  }
  window.resize(size.expandedTo(window.minimumSizeHint()));
}

void KeepWindowSize(const QDialog& window, const QString& settingsKey,
                    const WindowSizeValues& values) {
  try {
    SaveWindowSize(settingsKey, values, window.size());
  } catch (const Error&) {
    // Only the size is lost; the window itself must not fail for it.
  }
}

FileChooser SaveFileDialog() {
  return
      [](QWidget* parent, const QString& title, const QString& suggested, const QString& filter) {
        return QFileDialog::getSaveFileName(parent, title, suggested, filter);
      };
}

void ExportToChosenFile(QWidget* parent, const FileChooser& choose, TextLanguage language,
                        const QString& suggestedName,
                        const std::function<void(const QString& path)>& write) {
  const QString suggested =
      QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
          .filePath(suggestedName);
  const QString path = choose(parent, Text(progress_text::kExportTitle, language), suggested,
                              Text(progress_text::kExportFilter, language));
  if (path.isEmpty()) {
    return;
  }
  QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  std::optional<Error> failure;
  try {
    write(path);
  } catch (const Error& error) {
    failure = error;
  } catch (const std::exception& error) {
    failure = Error(-1, QStringLiteral("QMReplace"), QString::fromUtf8(error.what()));
  }
  QApplication::restoreOverrideCursor();
  if (failure) {
    user_dialogs::ShowFailure(parent, Text(text_id::kCaption, language), *failure);
  }
}

}  // namespace qm
