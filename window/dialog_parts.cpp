#include "window/dialog_parts.h"

#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QTableView>

#include "platform/error.h"

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

void RestoreWindowSize(QDialog& window, const QString& settingsKey,
                       const WindowSizeValues& values, QSize first) {
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

}  // namespace qm
