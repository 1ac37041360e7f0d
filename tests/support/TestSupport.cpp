#include "TestSupport.h"

#include "store/Table.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <unistd.h>

namespace wm::test {

bool ScriptedPrompts::ask(const QString& caption, const QString& text, bool) {
    if (watched) {
        // A widget counts as visible from its show event on; its native window only once really shown.
        watchedShownWhenAsked << (watched->isVisible() && watched->windowHandle() &&
                                  watched->windowHandle()->isVisible());
    }
    captions << caption;
    asked << text;
    if (answers.empty()) {
        return false;
    }
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<QString> ScriptedPrompts::inputText(const QString& caption, const QString& prompt, const QString& text) {
    captions << caption;
    inputPrompts << prompt + QStringLiteral(" [") + text + u']';
    if (inputs.empty()) {
        return std::nullopt;
    }
    const bool given = inputs.front().has_value();
    const QString value = inputs.front().value_or(QString());
    inputs.pop_front();
    if (!given) {
        return std::nullopt;
    }
    return value;
}

QString ScriptedPrompts::saveFileName(const FileDialogOptions& options) {
    dialogs << options;
    if (fileNames.empty()) {
        return {};
    }
    const QString name = fileNames.front();
    fileNames.pop_front();
    return name;
}

QString ScriptedPrompts::openFileName(const FileDialogOptions& options) {
    return saveFileName(options);
}

void PdfPreview::show(const QString& title, const QPageLayout& layout, const Paint& paint) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(m_path);
    preparePrinter(printer, layout, title);
    paint(printer);
    ++shown;
}

ProgramFolder::ProgramFolder() {
    QDir root(m_dir.path());
    root.mkpath(QStringLiteral("data/Starter"));
    root.mkpath(QStringLiteral("data/Serien"));
    root.mkpath(QStringLiteral("Reports"));
}

QString ProgramFolder::starter(const QString& file) const {
    return m_dir.filePath(QStringLiteral("data/Starter/") + file);
}
QString ProgramFolder::data(const QString& file) const {
    return m_dir.filePath(QStringLiteral("data/") + file);
}
QString ProgramFolder::prefs() const {
    return m_dir.filePath(QStringLiteral("prefs.ini"));
}

void ProgramFolder::writeParticipants(const QString& path, const QList<QVariantMap>& boats) const {
    Table::create(path, participantFields());
    Table table;
    table.open(path);
    for (const QVariantMap& b : boats) {
        table.insert(b);
    }
}

QVariantMap boat(const QString& sailNumber, const QString& boatName, const QString& name, const QString& type,
                 double yardstick, int start, int status) {
    return {{field::SEGELNR, sailNumber}, {field::BOOTSNAME, boatName}, {field::NAME, name},    {field::TYP, type},
            {field::YS, yardstick},       {field::START, start},        {field::STATUS, status}};
}

QList<QVariantMap> boatList(const QStringList& rows) {
    QList<QVariantMap> result;
    for (const QString& row : rows) {
        const QStringList f = row.split(u'|');
        auto text = [&f](int i) { return f.value(i).isEmpty() ? QString() : f.value(i); };
        result << boat(text(0), text(1), text(2), text(3), f.value(4).toDouble(), f.value(5).toInt(),
                       f.value(6).toInt());
    }
    return result;
}

QList<QVariantMap> exampleFleet() {
    return boatList({
        QStringLiteral("GER 1|Möwe|Anke|Laser|113|1"),
        QStringLiteral("GER 2|Kleiner Wal|Tim|Europe|115|1"),
        QStringLiteral("G 12|Nordlicht|Lars|420er|111|2"),
        QStringLiteral("G 17|Fliegender Fisch|Paula|FD|84|2"),
        QStringLiteral("GER 3|Seestern|Klaus|Folkeboot|105|3"),
        QStringLiteral("GER 4|Ostwind|Malte|Drachen|95|3"),
    });
}

QString readFile(const QString& path) {
    return QString::fromUtf8(fileBytes(path));
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) {
        f.write(content);
    }
}

bool waitForReady(QProcess& process) {
    QByteArray output;
    while (!output.contains("ready\n")) {
        if (!process.waitForReadyRead(10000)) {
            return false;
        }
        output += process.readAllStandardOutput();
    }
    return true;
}

bool press(QWidget* control) {
    if (!control || !control->isVisibleTo(control->window()) || !control->isEnabled()) {
        return false;
    }
    QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier, control->rect().center());
    return true;
}

void onNextDialog(std::function<void(QDialog& dialog)> act) {
    QTimer::singleShot(0, [act = std::move(act)] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY2(dialog, "no dialog opened");
        act(*dialog);
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
}

void onNextResultCheck(const char* button, QStringList& lines) {
    onNextDialog([button, &lines](QDialog& dialog) {
        QCOMPARE(dialog.objectName(), QStringLiteral("TResultCheck"));
        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("lstCheck"));
        QVERIFY(list);
        lines.clear();
        for (int i = 0; i < list->count(); ++i) {
            lines << list->item(i)->text();
        }
        QVERIFY(press(dialog.findChild<QPushButton*>(QString::fromLatin1(button))));
    });
}

int resultChecksDuring(const std::function<void()>& act) {
    int opened = 0;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&opened] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog && dialog->objectName() == QStringLiteral("TResultCheck")) {
            ++opened;
            dialog->reject();
        }
    });
    watch.start();
    act();
    watch.stop();
    return opened;
}

namespace {

bool run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

SmallDisk::SmallDisk(QString folder, int kilobytes) : m_folder(std::move(folder)) {
    if (geteuid() != 0) {
        return;
    }
    QDir().mkpath(m_folder);
    m_mounted =
        run(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                      QStringLiteral("size=%1k").arg(kilobytes), QStringLiteral("tmpfs"), m_folder});
}

SmallDisk::~SmallDisk() {
    if (m_mounted) {
        run(QStringLiteral("umount"), {QStringLiteral("-l"), m_folder});
    }
}

void SmallDisk::fill(qint64 keepBytes) {
    QFile filler(m_folder + QStringLiteral("/.fuellung"));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return;
    }
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) {
    }
    filler.close();
    if (keepBytes > 0) {
        filler.resize(std::max<qint64>(0, filler.size() - keepBytes));
    }
}

void SmallDisk::release() {
    QFile::remove(m_folder + QStringLiteral("/.fuellung"));
}

ImmutableFile::ImmutableFile(QString path) : m_path(std::move(path)) {
    m_set = geteuid() == 0 && run(QStringLiteral("chattr"), {QStringLiteral("+i"), m_path});
    if (!m_set && geteuid() != 0) {
        // Without root, taking away the write permission does the same.
        m_set = QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    }
}

ImmutableFile::~ImmutableFile() {
    if (geteuid() == 0) {
        run(QStringLiteral("chattr"), {QStringLiteral("-i"), m_path});
    } else {
        QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    }
}

} // namespace wm::test
