// The view's handlers of the dictionary commands: building, merging and text dumps of
// the homonym and unregistered-word dictionaries.
#include "ui_base/qt_text.h"
#include "app/selvanor_view.h"
#include "ui_base/user_interaction.h"
#include "lexicon/homonym_dictionary.h"
#include "lexicon/unregistered_dictionary.h"
#include "facade/dbwrap.h"
#include "ui/dictionary_merge_dialog.h"
#include "ui/make_homonym_dialog.h"

namespace selvanor {
namespace {

// Asks where to write the text dump of `dictionary` and writes it; the outcome message
// says whether it was written. Nothing happens when the chooser is cancelled.
void saveDictionaryText(UserInteraction& ui, ExportKind kind, const std::string& dictionary,
                        std::string (*outcomeMessage)(ResultCode)) {
  const QString chosen =
      ui.chooseSaveFile(QStringLiteral("텍스트 파일 (*.txt)|*.txt||"), QStringLiteral("*.txt"));
  if (chosen.isEmpty()) return;
  // A target that is the dictionary itself is refused by the dump as a text-file failure.
  const ResultCode rc = DBWrap().printDBcont(kind, dictionary, nativePath(chosen));
  ui.message(QString::fromStdString(outcomeMessage(rc)));
}

}  // namespace

void CSelvanorView::buildHomonymDictionaryCommand() {
  MakeHomonymDialog dialog(ui_, this);
  dialog.exec();
}

void CSelvanorView::mergeHomonymDictionariesCommand() {
  DictionaryMergeDialog dialog(ui_, DictionaryKind::Homonym, this);
  dialog.exec();
}

// The homonym dictionary path is checked by the command's precondition.
void CSelvanorView::saveHomonymTextCommand() {
  saveDictionaryText(ui_, ExportKind::Homonym, context_.homonymDictionary,
                     &homonym::saveOutcomeMessage);
}

void CSelvanorView::mergeUnregisteredCommand() {
  DictionaryMergeDialog dialog(ui_, DictionaryKind::Unregistered, this);
  dialog.exec();
}

void CSelvanorView::saveUnregisteredTextCommand() {
  if (context_.unregisteredDictionary.empty()) {
    ui_.warning(QString::fromUtf8(unregistered::msg::kChooseDictionary));
    return;
  }
  saveDictionaryText(ui_, ExportKind::Unregistered, context_.unregisteredDictionary,
                     &unregistered::saveOutcomeMessage);
}

}  // namespace selvanor
