// selvanor: the workbench window. `selvanor DOC.id` opens that document in the grid.
#include <QApplication>
#include <QDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/application.h"

namespace {

constexpr const char* kVersion = "selvanor 2.0 (0.1.0)";

void printHelp() {
  std::printf(
      "Usage: selvanor [DOCUMENT.id]\n"
      "Selvanor: a workbench for building and curating a morphologically analysed Korean corpus.\n"
      "\n"
      "  DOCUMENT.id   open this analysis document in the grid at start-up\n"
      "  --help        show this help\n"
      "  --version     show the version\n"
      "\n"
      "Batch operations: selvanor-cli --help\n");
}

bool hasDisplay() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform && *platform) return true;
  const char* x = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x && *x) || (wayland && *wayland);
}

}  // namespace

int main(int argc, char** argv) {
  QString document;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
      printHelp();
      return 0;
    }
    if (!std::strcmp(argv[i], "--version")) {
      std::printf("%s\n", kVersion);
      return 0;
    }
    if (argv[i][0] == '-') {
      std::fprintf(stderr, "selvanor: unknown option %s (see --help)\n", argv[i]);
      return 2;
    }
    document = QString::fromLocal8Bit(argv[i]);
  }
  if (!hasDisplay()) {
    std::fprintf(stderr,
                 "selvanor: no display (DISPLAY and WAYLAND_DISPLAY are unset); the window cannot "
                 "open. Use selvanor-cli for batch work.\n");
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Selvanor"));
  QApplication::setApplicationVersion(QStringLiteral("0.1.0"));
  selvanor::SelvanorApplication selvanorApp(QApplication::applicationFilePath().toStdString(),
                                            QDir::currentPath().toStdString());
  selvanorApp.start(document);
  return app.exec();
}
