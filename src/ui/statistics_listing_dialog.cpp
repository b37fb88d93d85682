#include "ui/statistics_listing_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "facade/dbwrap.h"
#include "stats/statistics_listing.h"
#include "stats/statistics_selection.h"
#include "ui_base/operation_progress.h"
#include "ui_base/qt_text.h"
#include "ui_base/report_viewer.h"
#include "ui_base/user_interaction.h"

namespace selvanor {

QString StatisticsListingDialog::titleOf(int type) {
  switch (type) {
    case 1: return QStringLiteral("전체통계 & 어휘");
    case 2: return QStringLiteral("전체통계 & 어휘 + 품사표지 ");
    case 3: return QStringLiteral("실질어통계 & 어휘");
    case 4: return QStringLiteral("실질어통계 & 어휘 + 품사표지");
    default: return QStringLiteral("품사 표지 통계");
  }
}

StatisticsListingDialog::StatisticsListingDialog(UserInteraction& ui, int type, const TagManager& tags,
                                                 const std::string& listFile, QWidget* parent)
    : QDialog(parent), ui_(ui), type_(type), tags_(tags) {
  setWindowTitle(titleOf(type));
  lines_ = new QListWidget(this);
  lines_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lines_->setMinimumSize(480, 260);
  if (!list_.load(listFile, /*createIfMissing=*/true)) {
    ui_.message(QString::fromStdString(corpus::loadFailedMessage(listFile)));
  }
  for (std::size_t g = 0; g < list_.groups().size(); ++g) {
    lines_->addItem(fromCp949(list_.group(g).name));
    nodes_.push_back({g, std::nullopt});
    for (std::size_t d = 0; d < list_.group(g).documents.size(); ++d) {
      lines_->addItem(fromNativePath(list_.group(g).documents[d].path));
      nodes_.push_back({g, d});
    }
  }
  output_ = new QLineEdit(QStringLiteral("stat.txt"), this);
  auto* outputButton = new QPushButton(QStringLiteral("출력파일"), this);
  auto* outputRow = new QHBoxLayout;
  outputRow->addWidget(outputButton);
  outputRow->addWidget(output_, 1);
  connect(outputButton, &QPushButton::clicked, this, &StatisticsListingDialog::chooseOutput);

  auto* buttons = new QDialogButtonBox(this);
  auto* make = buttons->addButton(QStringLiteral("통계 만들기"), QDialogButtonBox::ActionRole);
  auto* close = buttons->addButton(QStringLiteral("닫 기"), QDialogButtonBox::RejectRole);
  connect(make, &QPushButton::clicked, this, &StatisticsListingDialog::makeListings);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lines_, 1);
  layout->addLayout(outputRow);
  layout->addWidget(buttons);

  pickTags_ = [this]() -> std::optional<TagPick> {
    TagPickerDialog picker(ui_, tags_, this);
    if (picker.exec() != QDialog::Accepted) return std::nullopt;
    return picker.pick();
  };
  openReport_ = [this](const QString& path) {
    ReportViewer viewer(ui_, this);
    if (viewer.open(path)) viewer.exec();
  };
}

void StatisticsListingDialog::chooseOutput() {
  const QString path = ui_.chooseSaveFile(QStringLiteral("통계 저장 파일 (*.txt)|*.txt||"), output_->text(), true);
  if (!path.isEmpty()) output_->setText(path);
}

std::vector<std::string> StatisticsListingDialog::pickedDocuments() const {
  std::vector<corpus::NodeRef> picked;
  for (int row = 0; row < lines_->count(); ++row) {
    if (lines_->item(row)->isSelected()) picked.push_back(nodes_[static_cast<std::size_t>(row)]);
  }
  std::vector<std::string> documents;
  for (const stats::RunEntry& e : stats::entriesFromSelection(list_, picked)) {
    if (e.kind == stats::RunEntry::Document) documents.push_back(e.name);
  }
  return documents;
}

void StatisticsListingDialog::makeListings() {
  stats::ListingRequest request;
  request.type = type_;
  request.documents = pickedDocuments();
  if (request.documents.empty()) return;
  if (output_->text().isEmpty()) {
    ui_.message(QString::fromUtf8(stats::msg::kChooseResultFile));
    return;
  }
  request.outputPath = nativePath(output_->text());
  if (type_ == 5) {
    const std::optional<TagPick> pick = pickTags_();
    if (!pick) return;
    request.tags = pick->tags;
    request.range = pick->range;
  } else {
    request.tags = stats::scopeTagsForType(tags_, type_);
  }
  DBWrap db;
  stats::RunOutcome outcome;
  {
    // Written beside the output and renamed at the end: a cancel writes nothing.
    OperationProgress progress(this, windowTitle(), true);
    outcome = db.writeStatisticsListings(request, progress.callback());
    progress.finish();
  }
  if (!outcome.ok()) {
    ui_.message(QString::fromStdString(outcome.message));
    return;
  }
  openReport_(output_->text());
}

}  // namespace selvanor
