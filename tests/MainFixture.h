#pragma once

#include "TestSupport.h"
#include "app/RaceOffice.h"
#include "app/Services.h"
#include "store/Clock.h"

#include <QApplication>
#include <QWidget>

#include <memory>

namespace wm::test {

// The program's windows over a temporary program folder, with scripted prompts, a manual clock and a
// notifier that records.
struct MainFixture {
    ProgramFolder folder;
    ScriptedPrompts prompts;
    RecordingNotifier notifier;
    ManualClock clock{QDateTime(QDate(2024, 12, 24), QTime(18, 10, 5))};
    std::unique_ptr<PdfPreview> preview;
    int screenWidth = 1280;
    std::unique_ptr<RaceOffice> app;

    Services services() {
        preview = std::make_unique<PdfPreview>(folder.path() + QStringLiteral("/preview.pdf"));
        return Services{ProgramDir(folder.path()),
                        QCoreApplication::applicationFilePath(),
                        &clock,
                        &prompts,
                        &notifier,
                        preview.get(),
                        [this] { return screenWidth; }};
    }
    RaceOffice& start() {
        app = std::make_unique<RaceOffice>(services());
        return *app;
    }
    void stop() { app.reset(); }
};

template <typename T> T* widget(QWidget& root, const char* name) {
    return root.template findChild<T*>(QString::fromLatin1(name));
}

} // namespace wm::test
