// The view's handlers of the corrections of the open document: the auto-correction
// list and the homonym correction (first pass and review).
#include <QSettings>
#include <QTableView>

#include "ui_base/grid_model.h"
#include "ui_base/qt_text.h"
#include "app/selvanor_view.h"
#include "app/system_profile.h"
#include "ui_base/user_interaction.h"
#include "lexicon/homonym_dictionary.h"
#include "lexicon/homonym_dictionary_lookup.h"
#include "ui/auto_correction_dialog.h"
#include "ui/homonym_correction_window.h"

namespace selvanor {

void CSelvanorView::autoCorrectCommand() {
  AutoCorrectionDialog dialog(ui_, context_.currentDocument, this);
  // autoSujung replaces the document's file: the grid's handle would show the old one.
  connect(&dialog, &AutoCorrectionDialog::documentRewritten, this, &CSelvanorView::reloadDocument);
  dialog.exec();
}

// 동음어 수정 and 동음어 재검토 do the same: a run over the whole document.
void CSelvanorView::homonymCorrectCommand(bool /*review*/) {
  DongumLookup dictionary(context_.homonymDictionary);
  if (!dictionary.open()) {
    ui_.warning(QString::fromUtf8(homonym::msg::kCannotOpen) + QStringLiteral(" [") +
                fromNativePath(context_.homonymDictionary) + QStringLiteral("]"));
    return;
  }
  // The run goes through the grid's row cache; a document that is chosen but not shown
  // gets the cache for the run only.
  const bool borrowed = cache_.isOpen();
  if (!borrowed && cache_.open(context_.currentDocument) <= 0) {
    ui_.warning(QString::fromUtf8(kNoRecordsMessage));
    return;
  }
  const int row = currentRow();
  if (!systemProfile_) systemProfile_ = openSystemProfile(this);
  {
    HomonymCorrectionWindow window(ui_, *systemProfile_, cache_, dictionary, this);
    window.setListFont(grid_->font());
    window.startDeferred();
    window.exec();
  }
  systemProfile_->sync();
  if (!borrowed) {
    cache_.close();
    return;
  }
  model_->refresh();
  selectRow(std::max(row, 0));
}

}  // namespace selvanor
