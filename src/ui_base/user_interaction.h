// The one seam through which the view and every dialog talk to the user: messages,
// yes/no questions and file choosers. The application uses message boxes and file
// dialogs behind it; tests script the answers and record every message, so the Korean
// texts and the order of the checks are testable without a person.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace selvanor {

class UserInteraction {
 public:
  virtual ~UserInteraction() = default;

  virtual void message(const QString& text) = 0;
  // A message about something that went wrong or cannot be done (the warning icon).
  virtual void warning(const QString& text) { message(text); }
  // True for Yes.
  virtual bool askYesNo(const QString& text) = 0;
  // An OK/Cancel box with its own caption; true for OK.
  virtual bool confirm(const QString& text, const QString& caption) = 0;
  // Empty when the user cancelled. `filter` is in the system's chooser form
  // "Text Files (*.txt)|*.txt||"; `initial` is a file name or path to start from.
  virtual QString chooseOpenFile(const QString& filter, const QString& initial) = 0;
  // `confirmOverwrite`: ask before replacing an existing file.
  virtual QString chooseSaveFile(const QString& filter, const QString& initial,
                                 bool confirmOverwrite = true) = 0;
  virtual QStringList chooseOpenFiles(const QString& filter, const QString& initial) = 0;
};

// Message boxes and file dialogs parented to `parent`.
class WidgetInteraction final : public UserInteraction {
 public:
  explicit WidgetInteraction(QWidget* parent) : parent_(parent) {}
  // The window the boxes and choosers are centred on (the frame, once it exists).
  void setParentWidget(QWidget* parent) { parent_ = parent; }
  void message(const QString& text) override;
  void warning(const QString& text) override;
  bool askYesNo(const QString& text) override;
  bool confirm(const QString& text, const QString& caption) override;
  QString chooseOpenFile(const QString& filter, const QString& initial) override;
  QString chooseSaveFile(const QString& filter, const QString& initial,
                         bool confirmOverwrite) override;
  QStringList chooseOpenFiles(const QString& filter, const QString& initial) override;

 private:
  QWidget* parent_;
};

// The size a file chooser opens at: wide enough for the size and date columns.
inline constexpr int kChooserWidth = 860;
inline constexpr int kChooserHeight = 520;

// "Text Files (*.txt)|*.txt||" -> "Text Files (*.txt)" (one line per description).
[[nodiscard]] QString chooserFilter(const QString& systemFilter);

}  // namespace selvanor
