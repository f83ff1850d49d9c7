// What the review and the history's windows are made of alike: plain labels,
// named controls, lists of fixed-height rows, and a size kept in the host's
// settings.
#pragma once

#include <QSize>
#include <QString>

#include <functional>

#include "text/texts.h"
#include "window/review_size.h"

class QDialog;
class QLabel;
class QTableView;
class QWidget;

namespace qm {

// Labels show texts of documents and of the user: never markup.
QLabel* PlainLabel(QWidget* parent, const char* name);

template <typename W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

// A list of whole rows, one height for every row so that a million rows are
// never measured, Tab leaving it as every other control of a dialog.
QTableView* RowList(QWidget* parent, const char* name);

// The stored size (or `first`), within the screen and no smaller than the
// window's least; the size is stored again by KeepWindowSize, and a
// registry that refuses it costs only the remembered size.
void RestoreWindowSize(QDialog& window, const QString& settingsKey, const WindowSizeValues& values,
                       QSize first);
void KeepWindowSize(const QDialog& window, const QString& settingsKey,
                    const WindowSizeValues& values);

// Asks for the file to export to, as QFileDialog::getSaveFileName does;
// empty when the user declined. Tests answer in its place.
using FileChooser = std::function<QString(QWidget* parent, const QString& title,
                                          const QString& suggested, const QString& filter)>;
FileChooser SaveFileDialog();

// Asks for a CSV file (offering `suggestedName` in the user's documents
// folder) and has `write` write it, with the wait cursor on. A failure is
// shown to the user over `parent`, and nothing else changes.
void ExportToChosenFile(QWidget* parent, const FileChooser& choose, TextLanguage language,
                        const QString& suggestedName,
                        const std::function<void(const QString& path)>& write);

}  // namespace qm
