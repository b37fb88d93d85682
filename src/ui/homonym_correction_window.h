// The two windows of homonym correction: the progress window "동음어 수정", listing the
// document's records with the current one highlighted, and the selection window
// "동음어 사전", listing the senses of the morpheme being corrected.
#pragma once

#include <QDialog>
#include <QElapsedTimer>

#include <functional>

#include "lexicon/homonym_correction.h"

class QFont;
class QLabel;
class QLineEdit;
class QSettings;
class QTableView;
class QTreeWidget;

namespace selvanor {

class AnalysisGridModel;
class RowCache;
class UserInteraction;

// Where the selection window stood last time: the system profile, section "Selvanor",
// keys xpos, ypos, x2pos, y2pos (a negative xpos: never saved).
struct SelectionWindowPlace {
  int left = -1, top = 0, right = 10, bottom = 10;
  static SelectionWindowPlace load(QSettings& profile);
  // Saves the window's top-left corner with the fixed size 620 x 360.
  static void save(QSettings& profile, const QPoint& topLeft);
};

class HomonymSelectionWindow : public QDialog {
  Q_OBJECT
 public:
  HomonymSelectionWindow(UserInteraction& ui, QSettings& profile, QWidget* parent = nullptr);

  // Shows the senses of `morpheme` and waits for the choice (modal).
  [[nodiscard]] ChoiceResult ask(const QString& morpheme, const std::vector<HomonymSense>& senses);

  // The buttons, for tests and the list's double and right click.
  void choose();
  void skip();
  void stop();
  QTreeWidget* list() const { return list_; }
  QLineEdit* morphemeField() const { return morpheme_; }
  // The candidate list in the grid's font.
  void setListFont(const QFont& font);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;  // Escape and the close control count as 지나가기

 private:
  void savePlace();
  // Where ask() shows the window: the saved place or the default one, all on the screen.
  void placeOnScreen();

  UserInteraction& ui_;
  QSettings& profile_;
  QLineEdit* morpheme_;
  QTreeWidget* list_;
  ChoiceResult result_;
};

class HomonymCorrectionWindow : public QDialog, private HomonymCorrectionListener {
  Q_OBJECT
 public:
  // `cache` is the view's row cache, open on the document; `lookup` the dictionary.
  HomonymCorrectionWindow(UserInteraction& ui, QSettings& profile, RowCache& cache,
                          HomonymLookup& lookup, QWidget* parent = nullptr);

  // Starts the run after the window appeared (100 ms for the rows, 100 ms more to start).
  void startDeferred();
  // Runs at once (tests); the chooser may be replaced before.
  CorrectionOutcome run();
  using Chooser = std::function<ChoiceResult(std::string_view, const std::vector<HomonymSense>&)>;
  void setChooser(Chooser chooser) { chooser_ = std::move(chooser); }
  QTableView* table() const { return table_; }
  // "n / N" of the record looked at and how many are left after it.
  QLabel* positionLabel() const { return position_; }
  HomonymSelectionWindow* selectionWindow() const { return selection_; }
  // Both lists in the grid's font, rows as high as the font needs.
  void setListFont(const QFont& font);
  // How the last run ended (Stopped: "멈추기"), and how many record changes it stored.
  [[nodiscard]] CorrectionOutcome outcome() const { return outcome_; }
  [[nodiscard]] int changedRows() const { return changedRows_; }
  // Closing the window (or Escape) while the run goes on stops it as 멈추기 does.
  void reject() override;

 private:
  bool keepGoing() override { return !stopRequested_; }
  void sizeColumns();
  void showRow(int row) override;
  ChoiceResult choose(std::string_view morpheme, const std::vector<HomonymSense>& senses) override;
  void rowChanged(int row) override;

  UserInteraction& ui_;
  RowCache& cache_;
  HomonymLookup& lookup_;
  AnalysisGridModel* model_;
  QTableView* table_;
  QLabel* position_;
  HomonymSelectionWindow* selection_;
  Chooser chooser_;
  CorrectionOutcome outcome_ = CorrectionOutcome::Completed;
  int changedRows_ = 0;
  QElapsedTimer sincePaint_;  // the list repaints at this interval while the run walks
  bool running_ = false;
  bool stopRequested_ = false;
};

}  // namespace selvanor
