// SPDX-License-Identifier: GPL-3.0-or-later
// The documents name only what the program has: every Russian text they
// quote is one of the program's captions, menu items, messages or file
// names. These are read from the program's own sources (every string literal
// in core/, storage/, ui/ and app/: the tables of controls and menus and
// every message) and from the context menus Qt shows in Russian, so that a
// text renamed in the code and not in the documents fails here.
#include "app/startup.h"

#include <QApplication>
#include <QDirIterator>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QTest>

namespace {

const QString kSource = QStringLiteral(RAVNO_SOURCE_DIR);

QString readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString simplified(QString text)
{
    return text.replace(QStringLiteral("..."), QStringLiteral("…")).simplified();
}

// The string literals of the sources, comments left out and neighbouring
// literals joined as the compiler joins them; "\n" and the like as blanks.
QStringList programTexts()
{
    static const QRegularExpression comment(QStringLiteral("/\\*.*?\\*/|(^|\\s)//[^\\n]*"),
                                            QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression literals(QStringLiteral("(\"(?:[^\"\\\\\\n]|\\\\.)*\"\\s*)+"));
    static const QRegularExpression escape(QStringLiteral("\\\\[nrt]|\"\\s*\"?"));
    QStringList texts;
    QDirIterator files(kSource, {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next().mid(kSource.size() + 1);
        if (!QRegularExpression(QStringLiteral("^(core|storage|ui|app)/")).match(path).hasMatch())
            continue;
        const QString code = readFile(kSource + u'/' + path).remove(comment);
        for (auto found = literals.globalMatch(code); found.hasNext();)
            texts << simplified(found.next().captured().replace(escape, QStringLiteral(" ")).remove(u'\\'));
    }
    QLineEdit box;
    const std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
    for (const QAction *item : menu->actions())
        texts << simplified(item->text().section(u'\t', 0, 0).remove(u'&'));
    return texts;
}

// One of the texts whole, a sentence of one, or one with its blanks (%1)
// filled in; a full stop or comma after the quote is not part of it.
bool isProgramText(QString quoted, const QStringList &texts)
{
    static const QRegularExpression slot(QStringLiteral("%\\d"));
    static const QRegularExpression sentenceEnd(QStringLiteral("(?<=[.;:?!])\\s+"));
    static const QRegularExpression stop(QStringLiteral("[.,;:]$"));
    const QString bare = QString(quoted).remove(stop);
    for (const QString &text : texts) {
        for (const QString &sentence : text.split(sentenceEnd))
            if (sentence == quoted || QString(sentence).remove(stop) == bare)
                return true;
        QStringList parts = text.split(slot);
        for (QString &part : parts)
            part = QRegularExpression::escape(part);
        if (parts.size() > 1
            && QRegularExpression(u'^' + parts.join(QStringLiteral(".+")) + u'$').match(quoted).hasMatch())
            return true;
    }
    return false;
}

// The text as a reader sees it: HTML tags and entities and the manual
// pages' escapes resolved.
QString readable(QString text)
{
    text.remove(QRegularExpression(QStringLiteral("<[^>]*>|(?m)^\\.(B|I|BR|IR) |\\\\[%&]")));
    const char *const escapes[][2] = {{"&laquo;", "«"}, {"&raquo;", "»"}, {"&nbsp;", " "},
                                      {"&amp;", "&"},   {"\\(lq", "“"},   {"\\(rq", "”"},
                                      {"\\(Fo", "«"},   {"\\(Fc", "»"},   {"\\(Bq", "„"},   {"\\(em", "—"},
                                      {"\\(->", "→"},   {"\\-", "-"},     {"\\ ", " "}};
    for (const auto &[from, to] : escapes)
        text.replace(QString::fromUtf8(from), QString::fromUtf8(to));
    return text;
}

} // namespace

class TestDocuments : public QObject
{
    Q_OBJECT
private slots:
    void quotes_data();
    void quotes();
    void helpPageVersion();
};

void TestDocuments::quotes_data()
{
    QTest::addColumn<QString>("document");
    // How it quotes: the manual pages' "…" hold macro arguments.
    QTest::addColumn<QString>("quote");
    const QString plain = QStringLiteral("\"([^\"]+)\"");
    const QString angle = QStringLiteral("«([^«»]+)»");
    QTest::newRow("README") << "README.md" << plain;
    QTest::newRow("help page") << "files/help.htm" << angle + u'|' + plain;
    for (const char *page : {"ravno.1.in", "ru/ravno.1.in", "ravno-launcher.1.in", "ru/ravno-launcher.1.in"})
        QTest::newRow(page) << QStringLiteral("packaging/man/") + QLatin1String(page)
                            << angle + QStringLiteral("|“([^“”]+)”");
}

// Quotes without a Russian letter are input ("2 1 5 1 3 10") or Latin names;
// a menu path ("Данные → Решить массив") is checked item by item.
void TestDocuments::quotes()
{
    QFETCH(QString, document);
    QFETCH(QString, quote);
    static QStringList texts;
    if (texts.isEmpty()) {
        ravno::installTranslations(*qApp);
        texts = programTexts();
    }
    if (!texts.last().contains(QRegularExpression(QStringLiteral("[А-я]"))))
        QSKIP("Qt's Russian texts (qt6-translations-l10n) are not installed");
    const QString text = readable(readFile(kSource + u'/' + document));
    QVERIFY(!text.isEmpty());
    QStringList foreign;
    for (auto found = QRegularExpression(quote).globalMatch(text); found.hasNext();) {
        const QRegularExpressionMatch match = found.next();
        for (QString item : match.captured(match.lastCapturedIndex()).split(u'→')) {
            // A quote within a quote is in „…“; the program's own are «…».
            item.replace(QRegularExpression(QStringLiteral("„([^“]*)“")), QStringLiteral("«\\1»"));
            if (item.contains(QRegularExpression(QStringLiteral("[А-яЁё]"))) && !isProgramText(simplified(item), texts))
                foreign << simplified(item);
        }
    }
    QVERIFY2(foreign.isEmpty(), qPrintable(QStringLiteral("not the program's: ") + foreign.join(QStringLiteral(" | "))));
}

// The help page, which ships as it is, names the version the build gives
// the package, the manual pages and the metainfo.
void TestDocuments::helpPageVersion()
{
    const QString page = readFile(kSource + QStringLiteral("/files/help.htm"));
    QVERIFY(page.contains(QStringLiteral("Равно версии %1.").arg(QStringLiteral(RAVNO_VERSION))));
}

QTEST_MAIN(TestDocuments)
#include "tst_documents.moc"
