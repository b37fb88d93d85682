#include "app/user_guide_window.h"

#include <algorithm>

#include <QAction>
#include <QFileInfo>
#include <QImage>
#include <QKeySequence>
#include <QScreen>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include "app_core/install_layout.h"

namespace selvanor {
namespace {

// Pictures of whole windows are wider than a reading column: they are shown scaled to
// the page's width (never enlarged), so the text beside them needs no sideways scrolling.
class GuideBrowser : public QTextBrowser {
 public:
  using QTextBrowser::QTextBrowser;

  QVariant loadResource(int type, const QUrl& name) override {
    QVariant resource = QTextBrowser::loadResource(type, name);
    if (type != QTextDocument::ImageResource) return resource;
    QImage image;
    if (resource.canConvert<QImage>()) image = resource.value<QImage>();
    if (image.isNull()) image.loadFromData(resource.toByteArray());
    const int widest = 900;
    if (image.isNull() || image.width() <= widest) return resource;
    return image.scaledToWidth(widest, Qt::SmoothTransformation);
  }
};

}  // namespace

QString userGuideIndex(const QString& programFolder) {
  const std::string shared = installedDataFolder(programFolder.toStdString());
  QStringList candidates;
  if (!shared.empty()) candidates << QString::fromStdString(shared) + QStringLiteral("guide/index.md");
#ifdef SELVANOR_SOURCE_GUIDE
  candidates << QStringLiteral(SELVANOR_SOURCE_GUIDE "/index.md");
#endif
  for (const QString& candidate : candidates) {
    if (QFileInfo(candidate).isFile()) return candidate;
  }
  return {};
}

UserGuideWindow::UserGuideWindow(const QString& index, QWidget* parent)
    : QWidget(parent, Qt::Window), browser_(new GuideBrowser(this)) {
  setWindowTitle(QStringLiteral("Selvanor 사용 설명서"));
  setObjectName(QStringLiteral("userGuideWindow"));
  browser_->setOpenLinks(true);
  // Pages of the guide open here; addresses on the web go to the desktop's browser.
  browser_->setOpenExternalLinks(true);
  browser_->setSearchPaths({QFileInfo(index).absolutePath()});

  auto* bar = new QToolBar(this);
  bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  QAction* back = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("뒤로"));
  QAction* forward = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("앞으로"));
  QAction* home = bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("차례"));
  back->setShortcut(QKeySequence::Back);
  forward->setShortcut(QKeySequence::Forward);
  back->setEnabled(false);
  forward->setEnabled(false);
  connect(back, &QAction::triggered, browser_, &QTextBrowser::backward);
  connect(forward, &QAction::triggered, browser_, &QTextBrowser::forward);
  connect(home, &QAction::triggered, browser_, &QTextBrowser::home);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(bar);
  layout->addWidget(browser_, 1);
  // A reading size that stays within the screen, title bar included, on a small display.
  const QRect screenArea = screen()->availableGeometry();
  resize(std::min(1000, screenArea.width() * 9 / 10), std::min(760, screenArea.height() * 17 / 20));
  browser_->setSource(QUrl::fromLocalFile(index), QTextDocument::MarkdownResource);
}

}  // namespace selvanor
