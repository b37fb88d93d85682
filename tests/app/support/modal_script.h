// Answers the modal windows a command opens: each time a window of type W is the active
// modal one, the next step runs on it (a step that leaves it open is followed by the next
// step on the same showing). When the steps have run out the window is closed and counted
// as unexpected.
#pragma once

#include <QApplication>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>

namespace selvanor::test {

template <class W>
class ModalScript : public QObject {
 public:
  explicit ModalScript(std::deque<std::function<void(W&)>> steps) : steps_(std::move(steps)) {
    connect(&timer_, &QTimer::timeout, this, [this] {
      auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
      if (!w || !w->isVisible()) return;
      if (steps_.empty()) {
        ++unexpected;
        w->close();
        return;
      }
      auto step = std::move(steps_.front());
      steps_.pop_front();
      step(*w);
    });
    timer_.start(10);
  }
  bool done() const { return steps_.empty(); }
  int unexpected = 0;

 private:
  std::deque<std::function<void(W&)>> steps_;
  QTimer timer_;
};

}  // namespace selvanor::test
