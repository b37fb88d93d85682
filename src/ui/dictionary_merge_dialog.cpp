#include "ui/dictionary_merge_dialog.h"

#include "facade/dbwrap.h"
#include "lexicon/homonym_dictionary.h"
#include "lexicon/unregistered_dictionary.h"
#include "ui_base/operation_progress.h"
#include "ui_base/user_interaction.h"

namespace selvanor {
namespace {

// An empty field would name no file at all: asked for before anything is opened.
const QString kChooseBase = QStringLiteral("기본 사전을 선택해 주세요");
const QString kChooseOther = QStringLiteral("합칠 사전을 선택해 주세요");

}  // namespace

DictionaryMergeDialog::DictionaryMergeDialog(UserInteraction& ui, DictionaryKind kind,
                                             QWidget* parent)
    : FilePairDialog(ui, {kind == DictionaryKind::Homonym ? QStringLiteral("동음어 사전 합치기")
                                                          : QStringLiteral("미등재 사전 합치기"),
                          QStringLiteral("기본 사전"), QStringLiteral("합칠 사전")},
                     kind == DictionaryKind::Homonym ? QStringLiteral("동음어 사전  (*.dic)|*.dic||")
                                                     : QStringLiteral("미등재 사전  (*.mdj)|*.mdj||"),
                     kind == DictionaryKind::Homonym ? QStringLiteral("*.dic") : QStringLiteral("*.mdj"),
                     OnCancel::ClearField, parent),
      kind_(kind) {}

void DictionaryMergeDialog::merge() {
  const std::string base = basePath();
  const std::string other = addedPath();
  if (base.empty()) {
    ui_.warning(kChooseBase);
    return;
  }
  if (other.empty()) {
    ui_.warning(kChooseOther);
    return;
  }
  DBWrap db;
  const bool homonym = kind_ == DictionaryKind::Homonym;
  ResultCode rc = result::kOk;
  {
    // Written into the base as one change: a cancel undoes it whole.
    OperationProgress progress(this, windowTitle(), true);
    rc = homonym ? db.mergeDongumDB(base, other, progress.callback())
                 : db.mergeMideungjaeDB(base, other, progress.callback());
    progress.finish();
  }
  ui_.message(QString::fromStdString(homonym::mergeOutcomeMessage(
      homonym ? homonym::msg::kMergeMode : unregistered::msg::kMergeMode, rc)));
}

}  // namespace selvanor
