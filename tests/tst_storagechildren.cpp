// SPDX-License-Identifier: GPL-3.0-or-later
// Storage on a full file system and with two copies of the program at work,
// each in child processes of this test program (see main below).
#include "app/startup.h"
#include "storage/filelock.h"
#include "storage/textfile.h"
#include "testsupport.h"
#include "storageoperations.h"

#include <QProcess>
#include <QTextStream>

#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>

using namespace ravno;
using namespace ravno::test;

namespace {

// What a child process (below) reports of one operation.
struct ChildReport
{
    QString skipped; // why the child could not set up its file system
    QString failed;  // the child died or could not set up its files
    std::optional<QString> error;
    QByteArray bytes; // of the operation's file afterwards
    bool paging = false;
    bool lockLeft = false;
};

ChildReport runChild(const QStringList &arguments)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), QStringList{"--child"} + arguments);
    ChildReport report;
    if (!child.waitForFinished(60000) || child.exitCode() != 0) {
        report.failed = "child failed: " + QString::fromUtf8(child.readAllStandardError());
        return report;
    }
    for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
        const QByteArray value = line.mid(line.indexOf(' ') + 1);
        if (line.startsWith("SKIP "))
            report.skipped = QString::fromUtf8(value);
        else if (line.startsWith("ERR "))
            report.error = QString::fromUtf8(value);
        else if (line.startsWith("BYTES "))
            report.bytes = QByteArray::fromHex(value);
        else if (line.startsWith("PAGING "))
            report.paging = value == "1";
        else if (line.startsWith("LOCK "))
            report.lockLeft = value == "1";
    }
    return report;
}

} // namespace

class TestStorageChildren : public QObject
{
    Q_OBJECT
private slots:
    void fullDisk_data();
    void fullDisk();
    void twoCopies();
};

void TestStorageChildren::fullDisk_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("mode");
    for (const char *mode : {"fsize", "tmpfs"})
        for (std::size_t i = 0; i < operations().size(); ++i)
            if (operations()[i].writes)
                QTest::addRow("%s: %s", mode, operations()[i].name) << int(i) << QString(mode);
}

// Each write in a child process: under a file-size limit (no privileges
// needed), and on a full 64 KiB tmpfs where one can be mounted. The command
// says it failed, and the file keeps every byte; an append that got part of
// its line out is cut back.
void TestStorageChildren::fullDisk()
{
    QFETCH(int, index);
    QFETCH(QString, mode);
    const Operation &op = operations()[std::size_t(index)];
    Sandbox work;
    const ChildReport report = runChild({mode, QString::number(index), work.workingPath()});
    QVERIFY2(report.failed.isEmpty(), qPrintable(report.failed));
    if (!report.skipped.isEmpty())
        QSKIP(qPrintable("no full file system here: " + report.skipped));
    QVERIFY(report.error.has_value());
    QVERIFY2(report.error->startsWith("write files/" + op.file + " "), qPrintable(*report.error));
    QCOMPARE(report.bytes, kStored);
    // The reading goes on past the failed append: paging has begun.
    QCOMPARE(report.paging, op.name == std::string_view("first answer"));
    QVERIFY(!report.lockLeft);
}

// Two processes, one appending answers and names, the other appending too
// and saving both views unchanged after every step: no line is lost.
void TestStorageChildren::twoCopies()
{
    Sandbox work;
    constexpr int kSteps = 120;
    QProcess copies[2];
    const char *tags[2] = {"A", "B"};
    for (int i = 0; i < 2; ++i)
        copies[i].start(QCoreApplication::applicationFilePath(),
                        {"--copy", work.workingPath(), tags[i], QString::number(kSteps)});
    for (QProcess &copy : copies) {
        QVERIFY(copy.waitForFinished(120000));
        QVERIFY2(copy.exitCode() == 0, copy.readAllStandardOutput().constData());
    }
    QStringList answers;
    for (const QString &line : decodeText(work.read(kAnswerLogName)).split("\r\n"))
        if (!line.isEmpty())
            answers.append(line);
    QStringList names = readCatalogueNames(work.folder()).value();
    QStringList expectedAnswers;
    QStringList expectedNames;
    for (const char *tag : tags)
        for (int i = 0; i < kSteps; ++i) {
            expectedAnswers.append(QStringLiteral("%1 %2").arg(tag).arg(i));
            expectedNames.append(QStringLiteral("%1-%2").arg(tag).arg(i));
        }
    answers.sort();
    names.sort();
    expectedAnswers.sort();
    expectedNames.sort();
    QCOMPARE(answers, expectedAnswers);
    QCOMPARE(names, expectedNames);
}

namespace {

// --child fsize|tmpfs <operation> <working folder>: stores the operation's
// file, fills the file system up, runs the operation, reports.
int fullDiskChild(const QStringList &args)
{
    const Operation &op = operations()[std::size_t(args[1].toInt())];
    const QString files = args[2] + QStringLiteral("/files");
    QTextStream out(stdout);
    if (args[0] == u"tmpfs"
        && (::unshare(CLONE_NEWNS) != 0
            || ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
            || ::mount("tmpfs", QFile::encodeName(files).constData(), "tmpfs", 0, "size=64k")
                   != 0)) {
        out << "SKIP mounting a tmpfs needs CAP_SYS_ADMIN (" << qt_error_string(errno) << ")\n";
        return 0;
    }
    const DataFolder folder{QDir(args[2])};
    QFile stored(folder.pathOf(op.file));
    if (!stored.open(QIODevice::WriteOnly) || stored.write(kStored) != kStored.size())
        return 1;
    stored.close();
    if (args[0] == u"tmpfs") {
        QFile filler(files + QStringLiteral("/filler"));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return 1;
        const QByteArray page(4096, 'x');
        while (filler.write(page) == page.size()) {
        }
    } else {
        // An append may get part of its line out before the limit.
        const rlim_t limit = op.appendsOnly ? rlim_t(kStored.size() + 1) : 1;
        const struct rlimit fsize = {limit, limit};
        if (::setrlimit(RLIMIT_FSIZE, &fsize) != 0)
            return 1;
    }
    RecordingMessages messages;
    AppContext context(folder, messages);
    if (const std::optional<FileError> error = op.run(context))
        out << "ERR " << (error->access == Access::Write ? "write " : "read ") << error->path
            << " " << int(error->kind) << "\n";
    out << "PAGING " << (context.files.isPaging() ? 1 : 0) << "\n";
    out << "LOCK " << (QFile::exists(lockFileName(folder.pathOf(op.file))) ? 1 : 0) << "\n";
    QFile after(folder.pathOf(op.file));
    if (after.open(QIODevice::ReadOnly))
        out << "BYTES " << after.readAll().toHex() << "\n";
    return 0;
}

// --copy <working folder> <tag> <steps>: one copy of the program at work.
int copyChild(const QStringList &args)
{
    const DataFolder folder{QDir(args[0])};
    const QString tag = args[1];
    OpenFiles files;
    AnswerLog log(folder, files);
    QTextStream out(stdout);
    for (int i = 0; i < args[2].toInt(); ++i) {
        if (!log.append(QStringLiteral("%1 %2").arg(tag).arg(i))
            || !appendCatalogueName(folder, QStringLiteral("%1-%2").arg(tag).arg(i))) {
            out << "append failed\n";
            return 1;
        }
        if (tag != u"B")
            continue;
        const Result<QString> shown = log.all();
        FileSnapshot listShown;
        const Result<QString> list = readCatalogueForDisplay(folder, &listShown);
        if (!shown || !log.save(shown.value()) || !list
            || !rewriteCatalogue(folder, list.value(), &listShown)) {
            out << "view save failed\n";
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // The children start as the program does; a file-size limit then meets
    // the program's own signal settings.
    ravno::prepareProcess();
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(2);
    if (argc > 1 && qstrcmp(argv[1], "--child") == 0)
        return fullDiskChild(args);
    if (argc > 1 && qstrcmp(argv[1], "--copy") == 0)
        return copyChild(args);
    TestStorageChildren test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_storagechildren.moc"
