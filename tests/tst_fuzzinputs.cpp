// SPDX-License-Identifier: GPL-3.0-or-later
// Every seed input of the fuzz targets and every input that once broke one
// (fuzz/regressions/<target>/) goes through its target again: no crash, no
// sanitizer report in the checking build, and every property holds.
#include "fuzz/targets.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace ravno;

class TestFuzzInputs : public QObject
{
    Q_OBJECT
private slots:
    void replay_data();
    void replay();
};

void TestFuzzInputs::replay_data()
{
    QTest::addColumn<int>("target");
    QTest::addColumn<QString>("path");
    const QDir fuzzDir(QStringLiteral(RAVNO_FUZZ_DIR));
    int rows = 0;
    const auto targets = fuzz::targets();
    for (int t = 0; t < int(targets.size()); ++t) {
        for (const char *kind : {"corpus", "regressions"}) {
            const QDir dir(fuzzDir.filePath(QStringLiteral("%1/%2").arg(kind, targets[t].name)));
            for (const QString &file : dir.entryList(QDir::Files, QDir::Name)) {
                const QByteArray row = QByteArray(targets[t].name) + '/' + kind + '/' + file.toUtf8();
                QTest::newRow(row.constData()) << t << dir.filePath(file);
                ++rows;
            }
        }
    }
    QVERIFY2(rows >= int(targets.size()), "every target has seed inputs");
}

void TestFuzzInputs::replay()
{
    QFETCH(int, target);
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    const QByteArray input = file.readAll();
    const QString problem = fuzz::targets()[std::size_t(target)].run(input);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

QTEST_GUILESS_MAIN(TestFuzzInputs)
#include "tst_fuzzinputs.moc"
