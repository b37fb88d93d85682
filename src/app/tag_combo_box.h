// The tag pick list of the analysis editor: an editable list of tags that completes
// what the user types to the first tag beginning with it, and keeps the input method
// off so tags are typed in Latin letters without leaving Hangul mode elsewhere.
#pragma once

#include <QComboBox>
#include <QString>
#include <QStringList>

class QFocusEvent;
class QKeyEvent;

namespace selvanor {

class TagComboBox : public QComboBox {
  Q_OBJECT

 public:
  explicit TagComboBox(QWidget* parent = nullptr);

  // Shows `tag`: selects the entry equal to it, or no entry with `tag` kept as the text.
  void showTag(const QString& tag);

  // Whether the last key pressed lets the next text change complete (false after
  // Backspace and Delete).
  [[nodiscard]] bool completionOn() const { return completionOn_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void noteKey(int key);
  void complete(const QString& typed);
  void disableInputMethod();

  bool completionOn_ = true;
};

// Shows `text` in an editable combo box: selects the entry equal to it, or no entry with
// the text kept as it is, so what the user sees is what the editor stores.
void showInComboBox(QComboBox& box, const QString& text);

}  // namespace selvanor
