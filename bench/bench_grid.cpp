// The grid on a large document: open, jump to the last row and paint it, then jump back
// to the middle. Runs on Qt's offscreen platform unless a display is given.
//
//   bench_grid [--tokens N] [--dir DIR]      (default 10^6 records)
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTableView>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "app/selvanor_view.h"
#include "ui_base/user_interaction.h"
#include "bench_support.h"
#include "common/files.h"
#include "facade/dbwrap.h"

using namespace selvanor;

namespace {

class SilentInteraction final : public UserInteraction {
 public:
  void message(const QString& text) override { std::fprintf(stderr, "message: %s\n", qPrintable(text)); }
  bool askYesNo(const QString&) override { return false; }
  bool confirm(const QString&, const QString&) override { return false; }
  QString chooseOpenFile(const QString&, const QString&) override { return {}; }
  QString chooseSaveFile(const QString&, const QString&, bool) override { return {}; }
  QStringList chooseOpenFiles(const QString&, const QString&) override { return {}; }
};

long residentKiB() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

long peakKiB() {
  struct rusage u {};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

double paintMs(QTableView* grid, int row) {
  QElapsedTimer t;
  t.start();
  grid->scrollTo(grid->model()->index(row, 0));
  QImage image(grid->viewport()->size(), QImage::Format_ARGB32);
  QPainter painter(&image);
  grid->viewport()->render(&painter);
  return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  long tokens = 1000000;
  std::string dir = "/tmp";
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--tokens") && i + 1 < argc) tokens = std::atol(argv[++i]);
    else if (!std::strcmp(argv[i], "--dir") && i + 1 < argc) dir = argv[++i];
  }
  if (!std::getenv("DISPLAY")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);

  const std::string base = dir + "/selvanor-bench-grid-" + std::to_string(getpid());
  const auto words = bench::loadTokens(SELVANOR_SAMPLE_TEXT);
  bench::writeNumberedText(base + ".txt", words, tokens);
  DBWrap db;
  if (db.makeBunsukDB(base + ".txt", base + ".id", "", SerialMode::Numbered, false) != result::kOk) {
    std::fprintf(stderr, "could not build the document\n");
    return 1;
  }
  removeFile(base + ".txt");
  const long before = peakKiB();

  SilentInteraction ui;
  CSelvanorView view(ui, nullptr);
  view.resize(1200, 800);
  view.show();
  QApplication::processEvents();
  QElapsedTimer t;
  t.start();
  view.chooseDocument(QString::fromStdString(base + ".id"));
  view.startAnalysis();
  const double openMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
  const long afterOpen = residentKiB();
  const double first = paintMs(view.grid(), 0);
  const double last = paintMs(view.grid(), static_cast<int>(tokens - 1));
  const double middle = paintMs(view.grid(), static_cast<int>(tokens / 2));
  const double lastAgain = paintMs(view.grid(), static_cast<int>(tokens - 1));
  std::printf("records %ld: open %.1f ms; paint first %.1f ms; jump to last and paint %.1f ms; "
              "middle %.1f ms; last again %.1f ms\n",
              tokens, openMs, first, last, middle, lastAgain);
  std::printf("resident: %ld KiB after opening, %ld KiB after the jumps; peak %ld KiB (%ld before opening)\n",
              afterOpen, residentKiB(), peakKiB(), before);
  view.closeDocument();
  removeFile(base + ".id");
  return 0;
}
