#include "ui/statistics_selection_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "stats/statistics_selection.h"
#include "ui/corpus_tree_model.h"
#include "ui_base/dialog_buttons.h"
#include "ui_base/user_interaction.h"

namespace selvanor {

StatisticsSelectionDialog::StatisticsSelectionDialog(UserInteraction& ui, const std::string& listFile,
                                                     QWidget* parent)
    : QDialog(parent), ui_(ui) {
  setWindowTitle(QStringLiteral("분석 문헌 관리"));
  if (!list_.load(listFile, /*createIfMissing=*/true)) {
    ui_.message(QString::fromStdString(corpus::loadFailedMessage(listFile)));
  }
  list_.expandAll();
  model_ = new CorpusTreeModel(list_, this);
  tree_ = makeCorpusPicker(model_, QStringLiteral("statisticsTree"), this);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tree_, 1);
  layout->addWidget(makeDialogButtons(this, QStringLiteral("계 속"), QStringLiteral("취 소"),
                                      [this] { proceed(); }));
}

StatisticsSelectionDialog::~StatisticsSelectionDialog() = default;

std::vector<corpus::NodeRef> StatisticsSelectionDialog::selectedNodes() const {
  // Tree order, whatever order the nodes were clicked in.
  std::vector<corpus::NodeRef> nodes;
  const QItemSelectionModel* selection = tree_->selectionModel();
  for (std::size_t g = 0; g < list_.groups().size(); ++g) {
    const corpus::NodeRef group{g, std::nullopt};
    if (selection->isSelected(model_->indexOf(group))) nodes.push_back(group);
    for (std::size_t d = 0; d < list_.group(g).documents.size(); ++d) {
      const corpus::NodeRef document{g, d};
      if (selection->isSelected(model_->indexOf(document))) nodes.push_back(document);
    }
  }
  return nodes;
}

void StatisticsSelectionDialog::proceed() {
  const std::vector<corpus::NodeRef> nodes = selectedNodes();
  if (nodes.empty()) return;
  entries_ = stats::entriesFromSelection(list_, nodes);
  accept();
}

}  // namespace selvanor
