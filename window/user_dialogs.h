// The window's two modal questions to the user: the confirmation of a run
// and the report of a failure. They go through this one seam so that tests
// can answer without a modal window ever blocking them.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace qm {

class Error;

namespace user_dialogs {

// A Yes/No question with the exclamation icon, Yes the default button; a
// non-empty `details` is offered behind the box's "Show Details...".
bool AskYesNo(QWidget* parent, const QString& title, const QString& question,
              const QString& details = QString());

// A failure: its number (hexadecimal in the 0x8004xxxx range), source and
// description, under the given title.
void ShowFailure(QWidget* parent, const QString& title, const Error& error);

// The text ShowFailure shows for an error, its fixed words in the user's
// language.
QString FailureText(const Error& error);

// Test seam. While scripted, questions are answered from the queue (No once
// it is empty) and nothing modal is shown; every question and failure text
// is recorded in order, and the details of every question apart.
void BeginScripted(QList<bool> answers = {});
void EndScripted();
QStringList ScriptedTranscript();
QStringList ScriptedDetails();

}  // namespace user_dialogs
}  // namespace qm
