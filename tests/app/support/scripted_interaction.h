// A UserInteraction that answers from a script and records every message, for UI tests.
#pragma once

#include <QStringList>
#include <deque>
#include <functional>

#include "ui_base/user_interaction.h"

namespace selvanor::test {

class ScriptedInteraction final : public UserInteraction {
 public:
  // Answers, consumed in order. A missing answer means No / cancel.
  std::deque<bool> yesNoAnswers;
  std::deque<QString> fileAnswers;      // for chooseOpenFile and chooseSaveFile
  std::deque<QStringList> filesAnswers; // for chooseOpenFiles

  // What was shown and asked, in order.
  QStringList messages;
  QStringList warnings;  // the messages shown as warnings (also in `messages`)
  QStringList questions;
  QStringList filters;  // the filter of every chooser opened

  // Runs while a message is "on screen", as a real message box's event loop would.
  std::function<void()> whileMessageShows;

  void message(const QString& text) override {
    messages << text;
    if (whileMessageShows) whileMessageShows();
  }
  void warning(const QString& text) override {
    warnings << text;
    message(text);
  }
  bool askYesNo(const QString& text) override {
    questions << text;
    if (yesNoAnswers.empty()) return false;
    const bool a = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return a;
  }
  bool confirm(const QString& text, const QString& caption) override {
    return askYesNo(caption + QStringLiteral(": ") + text);
  }
  QString chooseOpenFile(const QString& filter, const QString&) override { return nextFile(filter); }
  QString chooseSaveFile(const QString& filter, const QString&, bool) override {
    return nextFile(filter);
  }
  QStringList chooseOpenFiles(const QString& filter, const QString&) override {
    filters << filter;
    if (filesAnswers.empty()) return {};
    QStringList a = filesAnswers.front();
    filesAnswers.pop_front();
    return a;
  }

 private:
  QString nextFile(const QString& filter) {
    filters << filter;
    if (fileAnswers.empty()) return {};
    QString a = fileAnswers.front();
    fileAnswers.pop_front();
    return a;
  }
};

}  // namespace selvanor::test
