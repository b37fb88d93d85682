// The about box "selvanor 정보".
#pragma once

#include <QDialog>

namespace selvanor {

class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace selvanor
