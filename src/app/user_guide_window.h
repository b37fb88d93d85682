// The user guide "Selvanor 사용 설명서": the Markdown pages of docs/guide with their
// pictures, read in a window of the program's own, with no browser needed.
#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace selvanor {

// The guide's first page: <share>/selvanor/guide/index.md of an installed program, else
// the source tree's docs/guide/index.md (a program run from its build); "" when neither
// exists.
[[nodiscard]] QString userGuideIndex(const QString& programFolder);

class UserGuideWindow : public QWidget {
  Q_OBJECT
 public:
  // `index`: the guide's first page (a Markdown file; the other pages and pictures lie
  // beside it).
  explicit UserGuideWindow(const QString& index, QWidget* parent = nullptr);

  QTextBrowser* browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
};

}  // namespace selvanor
