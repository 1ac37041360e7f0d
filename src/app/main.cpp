#include "app/FileVersion.h"
#include "app/RaceOffice.h"
#include "app/TMain.h"
#include "desktop/AppSetup.h"
#include "desktop/Preview.h"
#include "desktop/Prompts.h"
#include "store/Clock.h"

#include <QApplication>

// The version record that GetFileVersion reads back from this executable.
[[gnu::used, gnu::section(".wmversion")]] static const wm::FixedFileVersion kFileVersion = {
    wm::kVersionSignature, 0x00010000u, (WM_VERSION_MAJOR << 16) | WM_VERSION_MINOR,
    (WM_VERSION_PATCH << 16) | WM_VERSION_BUILD};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Wendemark"));
    wm::setUpApplication(app);

    wm::SystemClock clock;
    wm::DialogPrompts prompts;
    wm::DialogPreview preview;
    wm::Services services{wm::ProgramDir(QCoreApplication::applicationDirPath()),
                          QCoreApplication::applicationFilePath(),
                          &clock,
                          &prompts,
                          nullptr,
                          &preview,
                          {},
                          nullptr,
                          {}};
    wm::RaceOffice windows(services);
    prompts.setParent(&windows.main());
    preview.setParent(&windows.main());
    QObject::connect(&windows.main(), &wm::TMain::quitRequested, &app, &QApplication::quit, Qt::QueuedConnection);
    windows.main().show();
    return app.exec();
}
