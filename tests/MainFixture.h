#pragma once

#include "TestSupport.h"
#include "app/RaceOffice.h"
#include "app/Services.h"
#include "app/TMain.h"
#include "store/Clock.h"
#include "timing/Race.h"

#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTreeView>
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
    RecordingSound sound{clock};
    QList<QUrl> openedUrls; // pages and folders the program asked the desktop to open
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
                        [this] { return screenWidth; },
                        &sound,
                        [this](const QUrl& url) {
                            openedUrls << url;
                            return true;
                        }};
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

// One of the program's windows over a stored name list (race browser, series window), opened over a fixture
// with an empty participant table unless the test wrote one.
template <typename Window, Window& (RaceOffice::*pick)() const> struct WindowFixture {
    MainFixture f;
    Window* window = nullptr;

    Window& open() {
        if (!QFile::exists(f.folder.starter())) {
            f.folder.writeParticipants(f.folder.starter(), {});
        }
        window = &(f.start().*pick)();
        window->show();
        return *window;
    }
    template <typename T> T* w(const char* name) { return widget<T>(*window, name); }
    // Clicks the name in the window's tree, as a user chooses it; false when it is not listed.
    bool choose(const QString& name) {
        auto* tree = w<QTreeView>("TreeView1");
        const QModelIndexList found =
            tree->model()->match(tree->model()->index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchExactly);
        if (found.isEmpty()) {
            return false;
        }
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(found.first()).center());
        return true;
    }
    QString reports(const QString& file) const { return f.folder.path() + QStringLiteral("/Reports/") + file; }
    // Shows the window anew while the main window stands aside at (10, 20); the centre of the window's frame.
    QPoint centreWithMainAside() {
        window->hide();
        f.app->main().show();
        f.app->main().move(10, 20);
        window->show();
        return window->frameGeometry().center();
    }
    // The width of the header band once the window is made `width` pixels wide.
    int bandWidthAt(int width) {
        window->resize(width, window->height());
        return w<QWidget>("HeaderBG")->width();
    }
    // Where the preview puts the pages it shows.
    QString preview() const { return f.folder.path() + QStringLiteral("/preview.pdf"); }
};

// Times a race "Abend" of the first three boats of the register to its end: two finish, one does not.
inline void raceToTheEnd(MainFixture& f, TMain& main) {
    f.prompts.inputs = {QStringLiteral("Abend")};
    PRESS(main, "Label22");
    for (int i = 0; i < 3; ++i) {
        PRESS(main, "cmdAdd");
    }
    f.prompts.answers = {true};
    PRESS(main, "cmdZiel");
    PRESS(main, "cmdZeiten");
    PRESS(main, "cmdZeiten");
    PRESS(main, "cmdDNF");
    QCOMPARE(main.race().mode(), Race::Mode::Over);
}

} // namespace wm::test
