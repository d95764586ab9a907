// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/idle.h"

#include "bench/sections.h"
#include "storage/arrayfile.h"
#include "ui/common/context.h"
#include "ui/common/messages.h"
#include "ui/editor/form2.h"
#include "ui/main/form1.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace ravno::bench {
namespace {

// A run of the road started before the animation was switched off goes on
// for about half a second; the first pace event comes after one.
constexpr int kSettleMs = 2500;

double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

bool waitExposed(QWidget &window)
{
    QElapsedTimer limit;
    limit.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && limit.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return window.windowHandle() && window.windowHandle()->isExposed();
}

void waitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Case
{
    const char *window;
    const char *animation;
};

constexpr Case kCases[] = {{"main", "on"},   {"main", "off"},   {"solved", "on"},
                           {"editor", "on"}, {"editor", "off"}};

// Order 10 whose answers are its right-hand sides, of ten digits: the
// answers take two lines, the matrix lies over most of the road.
QString solvedSystemText()
{
    QStringList values;
    for (int i = 0; i < 10; ++i)
        for (int j = 0; j <= 10; ++j)
            values << QString::number(j == 10 ? 1234567890 + i * 1111111 : (i == j ? 1 : 0));
    return values.join(u' ');
}

} // namespace

bool benchIdle(const QString &program, int seconds, int values)
{
    QTemporaryDir work;
    if (!work.isValid() || !QDir(work.path()).mkdir(QStringLiteral("files")))
        return false;
    std::vector<std::unique_ptr<QProcess>> children;
    for (const Case &c : kCases) {
        auto child = std::make_unique<QProcess>();
        // Each editor writes files/LostMas before it loads it: one folder each.
        const QString folder = work.filePath(QString::fromLatin1(c.window) + c.animation);
        if (!QDir().mkpath(folder + QStringLiteral("/files")))
            return false;
        prepareChild(*child, program,
                     {QString::fromLatin1(idleChildOption), QString::fromLatin1(c.window),
                      QString::fromLatin1(c.animation), QString::number(seconds),
                      QString::number(values)},
                     folder);
        child->start();
        children.push_back(std::move(child));
    }
    bool ok = true;
    for (std::size_t i = 0; i < children.size(); ++i) {
        QProcess &child = *children[i];
        const bool finished = child.waitForFinished((seconds + 60) * 1000);
        const QByteArray out = child.readAllStandardOutput().trimmed();
        if (!finished || child.exitCode() != 0 || out.isEmpty()) {
            std::fprintf(stderr, "idle child %s %s failed\n", kCases[i].window,
                         kCases[i].animation);
            ok = false;
            continue;
        }
        const QByteArray window(kCases[i].window);
        const QString what = QStringLiteral("CPU, %1, animation %2%3, %4 s")
                                 .arg(QString::fromLatin1(window == "main"     ? "main window"
                                                          : window == "solved" ? "main window, order 10 solved"
                                                                               : "editor"),
                                      QString::fromLatin1(kCases[i].animation),
                                      window != "editor"
                                          ? QString()
                                          : QStringLiteral(" (%1 values)").arg(values))
                                 .arg(seconds);
        std::printf("%-44s %10s %% of a core\n", qPrintable(what), out.constData());
    }
    return ok;
}

int idleChild(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const bool editorCase = argc > 2 && qstrcmp(argv[2], "editor") == 0;
    const bool solvedCase = argc > 2 && qstrcmp(argv[2], "solved") == 0;
    const bool animationOn = argc > 3 && qstrcmp(argv[3], "off") != 0;
    const int seconds = argc > 4 ? std::max(1, QByteArray(argv[4]).toInt()) : 60;
    const int values = argc > 5 ? std::max(1, QByteArray(argv[5]).toInt()) : 100000;

    BoxMessages messages;
    AppContext context(DataFolder(QDir::current()), messages);
    std::unique_ptr<QMainWindow> window;
    if (editorCase) {
        if (!writeArrayFile(context.folder, kLastArrayName, 2, editorText(values)).ok())
            return 1;
        auto editor = std::make_unique<Form2>(context);
        editor->showEditor();
        if (!waitExposed(*editor))
            return 1;
        auto *load = editor->findChild<QAction *>(QStringLiteral("load"));
        auto *scroll = editor->findChild<QScrollBar *>(QStringLiteral("VScroll1"));
        if (!load || !scroll)
            return 1;
        load->trigger();
        // The focus goes on to the order scroll bar, as the Tab key takes it.
        scroll->setFocus(Qt::TabFocusReason);
        window = std::move(editor);
    } else {
        if (solvedCase && !writeArrayFile(context.folder, kLastArrayName, 2, solvedSystemText()).ok())
            return 1;
        auto main = std::make_unique<Form1>(context);
        main->show();
        if (!waitExposed(*main))
            return 1;
        if (solvedCase) {
            // Into the editor, the last array loaded, back, and solved.
            main->findChild<QAction *>(QStringLiteral("masedit"))->trigger();
            main->editor()->findChild<QAction *>(QStringLiteral("load"))->trigger();
            main->editor()->findChild<QAction *>(QStringLiteral("ready"))->trigger();
            main->findChild<QAction *>(QStringLiteral("ans"))->trigger();
            if (!waitExposed(*main))
                return 1;
        }
        window = std::move(main);
    }
    if (!animationOn) {
        auto *stoper = window->findChild<QAction *>(QStringLiteral("stoper"));
        if (!stoper)
            return 1;
        stoper->trigger();
    }
    waitMs(kSettleMs);

    QElapsedTimer wall;
    wall.start();
    const double cpuBefore = processCpuSeconds();
    waitMs(seconds * 1000);
    const double cpu = processCpuSeconds() - cpuBefore;
    const double elapsed = double(wall.nsecsElapsed()) / 1e9;
    std::printf("%.3f\n", 100.0 * cpu / elapsed);
    return 0;
}

} // namespace ravno::bench
