// selvanor: the workbench window. `selvanor DOC.id` opens that document in the grid.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

#include <cstdio>
#include <cstdlib>

#include "ui_base/verification_progress.h"
#include "app/application.h"
#include "app/command_icons.h"
#include "common/scratch.h"

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
  // Parsed before any application object exists: without a display QApplication cannot
  // be made, and --help and --version must still answer.
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  QCommandLineParser parser;
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("show this help"));
  const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("show the version"));
  parser.addOption(help);
  parser.addOption(version);
  if (!parser.parse(arguments)) {
    std::fprintf(stderr, "selvanor: %s (see --help)\n", parser.errorText().toLocal8Bit().constData());
    return 2;
  }
  if (parser.isSet(help)) {
    printHelp();
    return 0;
  }
  if (parser.isSet(version)) {
    std::printf("%s\n", kVersion);
    return 0;
  }
  const QStringList documents = parser.positionalArguments();
  if (documents.size() > 1) {
    std::fprintf(stderr, "selvanor: one document at a time (see --help)\n");
    return 2;
  }
  const QString document = documents.isEmpty() ? QString() : documents.front();
  if (!hasDisplay()) {
    std::fprintf(stderr,
                 "selvanor: no display (DISPLAY and WAYLAND_DISPLAY are unset); the window cannot "
                 "open. Use selvanor-cli for batch work.\n");
    return 1;
  }
  selvanor::removeStaleScratch();  // what killed runs left in the temporary folder
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Selvanor"));
  QApplication::setApplicationVersion(QStringLiteral("0.1.0"));
  QApplication::setWindowIcon(selvanor::programIcon());
  if (!selvanor::installKoreanQtTranslations()) {
    std::fprintf(stderr, "selvanor: Qt's Korean translations (qtbase_ko.qm) are not installed; "
                         "standard buttons stay in English\n");
  }
  selvanor::installVerificationProgress();
  selvanor::SelvanorApplication selvanorApp(QApplication::applicationFilePath().toStdString(),
                                            QDir::currentPath().toStdString());
  selvanorApp.start(document);
  return app.exec();
}
