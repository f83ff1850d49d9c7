#include "window/user_dialogs.h"

#include <QMessageBox>

#include "platform/error.h"
#include "text/texts.h"

namespace qm::user_dialogs {
namespace {

struct Script {
  bool active = false;
  QList<bool> answers;
  QStringList transcript;
  QStringList details;
};

Script& TheScript() {
  static Script script;
  return script;
}

}  // namespace

bool AskYesNo(QWidget* parent, const QString& title, const QString& question,
              const QString& details) {
  Script& script = TheScript();
  if (script.active) {
    script.transcript.append(QStringLiteral("question: ") + title + QStringLiteral(" | ") +
                             question);
    script.details.append(details);
    return !script.answers.isEmpty() && script.answers.takeFirst();
  }
  QMessageBox box(QMessageBox::Warning, title, question, QMessageBox::Yes | QMessageBox::No,
                  parent);
  box.setDefaultButton(QMessageBox::Yes);
  box.setTextFormat(Qt::PlainText);
  box.setDetailedText(details);
  return box.exec() == QMessageBox::Yes;
}

QString FailureText(const Error& error) {
  return Text(own_text::kFailureReport, UserTextLanguage())
      .arg(FormatErrorNumber(error.number()), error.source(), error.description());
}

void ShowFailure(QWidget* parent, const QString& title, const Error& error) {
  Script& script = TheScript();
  if (script.active) {
    script.transcript.append(QStringLiteral("failure: ") + title + QStringLiteral(" | ") +
                             FailureText(error));
    return;
  }
  QMessageBox box(QMessageBox::Critical, title, FailureText(error), QMessageBox::Ok, parent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void BeginScripted(QList<bool> answers) {
  Script& script = TheScript();
  script.active = true;
  script.answers = std::move(answers);
  script.transcript.clear();
  script.details.clear();
}

void EndScripted() { TheScript() = Script{}; }

QStringList ScriptedTranscript() { return TheScript().transcript; }

QStringList ScriptedDetails() { return TheScript().details; }

}  // namespace qm::user_dialogs
