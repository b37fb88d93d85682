// "분석 문헌 수정": one correction over many documents chosen in the corpus tree: the
// auto-correction list ("형태소->단어"), homonym correction ("동음어 수정", document after
// document with the correction windows) or the work-error check ("작업 오류 수정", into the
// error log). Each press processes every selected document once, writes one status-bar line
// per document and closes with one message naming the documents that failed
// (lexicon/batch_modification.h words them).
#pragma once

#include <QDialog>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "lexicon/batch_modification.h"
#include "store/corpus/document_list.h"
#include "ui_base/open_document_handle.h"

class QSettings;
class QTreeView;

namespace selvanor {

class CorpusTreeModel;
class HomonymLookup;
class TagManager;
class UserInteraction;

// What the dialog needs from the window around it.
struct BatchHooks {
  std::function<void(const QString&)> status;  // one line in the main window's status bar
  std::function<void(const std::string& cp949Line)> errorLog;  // appends to the error log
  OpenDocumentHandle openDocument;  // the grid's document, let go of while a batch changes it
  QSettings* profile = nullptr;     // where the homonym selection window keeps its place
                                    // (the system profile; null: the application's settings)
};

class BatchModificationDialog : public QDialog {
  Q_OBJECT
 public:
  // Loads `listFile` (created when missing; a list that can be neither read nor created is
  // said so and the tree stays empty). `tags` must outlive the dialog.
  BatchModificationDialog(UserInteraction& ui, const std::string& listFile,
                          std::string homonymDictionary, const TagManager& tags, BatchHooks hooks,
                          QWidget* parent = nullptr);
  ~BatchModificationDialog() override;

  // The three buttons; with nothing selected each does nothing at all.
  void autoCorrect();
  void correctHomonyms();
  void checkWorkErrors();

  // The small list dialog "자동 수정 목록 "; the list chosen, or nullopt when it was closed.
  using ListPrompt = std::function<std::optional<std::string>()>;
  void setListPrompt(ListPrompt prompt) { askList_ = std::move(prompt); }

  QTreeView* tree() const { return tree_; }
  CorpusTreeModel* model() const { return model_; }
  // What the last press did (empty before any).
  [[nodiscard]] const batch::BatchOutcome& lastOutcome() const { return outcome_; }

 private:
  [[nodiscard]] std::vector<batch::BatchDocument> selectedDocuments() const;
  void run(batch::Operation op, const std::vector<batch::BatchDocument>& documents,
           const batch::DocumentOperation& operation, bool changesDocuments);
  batch::DocumentReport correctHomonymsIn(const batch::BatchDocument& document, HomonymLookup& lookup);

  UserInteraction& ui_;
  std::string homonymDictionary_;
  const TagManager& tags_;
  BatchHooks hooks_;
  corpus::DocumentList list_;
  CorpusTreeModel* model_;
  QTreeView* tree_;
  ListPrompt askList_;
  batch::BatchOutcome outcome_;
};

}  // namespace selvanor
