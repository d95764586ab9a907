// SPDX-License-Identifier: GPL-3.0-or-later
// The documents name only what the program has: every Russian text they
// quote is one of the program's captions, menu items, messages or file
// names. The program's texts are read from its own sources (every string
// literal in core/, storage/, ui/ and app/, the tables of controls and menus
// among them) and from the standard context menus Qt shows in Russian, so
// that a caption renamed in the code and not in the documents fails here.
#include "app/startup.h"

#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>

#include <memory>

namespace {

const QString kSource = QStringLiteral(RAVNO_SOURCE_DIR);

QString simplified(QString text)
{
    text.replace(QStringLiteral("..."), QStringLiteral("…"));
    return text.simplified();
}

// The value of a C++ string literal's body (between its quotes).
QString unescaped(const QString &body)
{
    QString out;
    for (qsizetype i = 0; i < body.size(); ++i) {
        if (body[i] != u'\\' || i + 1 == body.size()) {
            out += body[i];
            continue;
        }
        const QChar c = body[++i];
        if (c == u'n' || c == u'r' || c == u't')
            out += u' ';
        else if (c == u'u' && i + 4 < body.size()) {
            out += QChar(body.mid(i + 1, 4).toUShort(nullptr, 16));
            i += 4;
        } else
            out += c;
    }
    return out;
}

// Every string literal of a source file, neighbouring literals joined as
// the compiler joins them; comments and character literals skipped.
QStringList literalsOf(const QString &code)
{
    QStringList literals;
    QString current;
    bool open = false; // a literal was read and may go on
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (code.mid(i, 2) == u"//") {
            i = code.indexOf(u'\n', i);
            if (i < 0)
                break;
            continue;
        }
        if (code.mid(i, 2) == u"/*") {
            i = code.indexOf(QStringLiteral("*/"), i + 2) + 1;
            if (i <= 0)
                break;
            continue;
        }
        if (c == u'\'') {
            for (++i; i < code.size() && code[i] != u'\''; ++i)
                if (code[i] == u'\\')
                    ++i;
            continue;
        }
        if (c == u'"') {
            qsizetype end = i + 1;
            for (; end < code.size() && code[end] != u'"'; ++end)
                if (code[end] == u'\\')
                    ++end;
            current += unescaped(code.mid(i + 1, end - i - 1));
            open = true;
            i = end;
            continue;
        }
        if (open && !c.isSpace() && !(c.isLetterOrNumber() && (code.mid(i, 2) == u"u8" || c == u'u'))) {
            literals << simplified(current);
            current.clear();
            open = false;
        }
    }
    if (open)
        literals << simplified(current);
    return literals;
}

QStringList programTexts()
{
    QStringList texts;
    for (const char *folder : {"core", "storage", "ui", "app"}) {
        QDirIterator files(kSource + u'/' + QLatin1String(folder), {"*.cpp", "*.h"}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            if (file.open(QIODevice::ReadOnly))
                texts << literalsOf(QString::fromUtf8(file.readAll()));
        }
    }
    // Qt's own items in the context menus of the text boxes.
    for (QWidget *box : std::initializer_list<QWidget *>{new QLineEdit, new QPlainTextEdit}) {
        std::unique_ptr<QWidget> owner(box);
        std::unique_ptr<QMenu> menu(qobject_cast<QLineEdit *>(box)
                                        ? qobject_cast<QLineEdit *>(box)->createStandardContextMenu()
                                        : qobject_cast<QPlainTextEdit *>(box)->createStandardContextMenu());
        for (const QAction *item : menu->actions())
            texts << simplified(item->text().section(u'\t', 0, 0).remove(u'&'));
    }
    return texts;
}

// A quoted text is the program's when it is one of its texts whole, a
// sentence of one (a message of several), or a text with blanks to fill
// (%1) filled in.
bool isProgramText(const QString &quoted, const QStringList &texts)
{
    static const QRegularExpression slot(QStringLiteral("%\\d"));
    static const QRegularExpression sentenceEnd(QStringLiteral("(?<=[.;:?!])\\s+"));
    QString bare = quoted;
    while (bare.endsWith(u'.') || bare.endsWith(u',') || bare.endsWith(u';'))
        bare.chop(1);
    for (const QString &text : texts) {
        if (text == quoted || text == bare)
            return true;
        for (QString sentence : text.split(sentenceEnd)) {
            if (sentence == quoted)
                return true;
            while (sentence.endsWith(u'.') || sentence.endsWith(u';') || sentence.endsWith(u':'))
                sentence.chop(1);
            if (sentence == bare)
                return true;
        }
        if (text.contains(slot)) {
            QStringList escaped;
            for (const QString &part : text.split(slot))
                escaped << QRegularExpression::escape(part);
            const QRegularExpression filled(QStringLiteral("^") + escaped.join(QStringLiteral(".+"))
                                            + QStringLiteral("$"));
            if (filled.match(quoted).hasMatch())
                return true;
        }
    }
    return false;
}

// The document's text as a reader sees it: HTML tags and entities and the
// manual pages' escapes resolved.
QString readable(QString text)
{
    text.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    const std::pair<const char *, const char *> escapes[] = {
        {"&laquo;", "«"}, {"&raquo;", "»"}, {"&quot;", "\""}, {"&nbsp;", " "}, {"&mdash;", "—"},
        {"&ndash;", "–"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}, {"\\(lq", "“"}, {"\\(Fo", "«"}, {"\\(Fc", "»"},
        {"\\(rq", "”"}, {"\\(em", "—"}, {"\\(en", "–"}, {"\\(->", "→"}, {"\\-", "-"},
        {"\\ ", " "}, {"\\%", ""}, {"\\&", ""}, {"\\e", "\\"}};
    for (const auto &[from, to] : escapes)
        text.replace(QString::fromUtf8(from), QString::fromUtf8(to));
    // Font changes of the manual pages at line starts.
    text.replace(QRegularExpression(QStringLiteral("(?m)^\\.(B|I|BR|IR|RB|RI) ")), QString());
    return text;
}

} // namespace

class TestDocuments : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void quotesAreTheProgramsTexts_data();
    void quotesAreTheProgramsTexts();

private:
    QStringList m_texts;
};

void TestDocuments::initTestCase()
{
    ravno::installTranslations(*qApp);
    if (!QLineEdit().createStandardContextMenu()->actions().value(0)->text().contains(QRegularExpression(QStringLiteral("[А-я]"))))
        QSKIP("Qt's Russian texts (qt6-translations-l10n) are not installed");
    m_texts = programTexts();
    QVERIFY(m_texts.size() > 100);
}

void TestDocuments::quotesAreTheProgramsTexts_data()
{
    QTest::addColumn<QString>("document");
    // How each quotes: the README in "…", the help page in «…» and "…", the
    // manual pages in «…» and \(lq…\(rq (their "…" hold macro arguments).
    QTest::addColumn<QString>("quotes");
    const QString plain = QStringLiteral("\"([^\"]+)\"");
    const QString angle = QStringLiteral("«([^«»]+)»");
    const QString curly = QStringLiteral("“([^“”]+)”");
    QTest::newRow("README.md") << "README.md" << plain;
    QTest::newRow("help.htm") << "files/help.htm" << angle + u'|' + plain;
    for (const char *path : {"packaging/man/ravno.1.in", "packaging/man/ru/ravno.1.in",
                             "packaging/man/ravno-launcher.1.in", "packaging/man/ru/ravno-launcher.1.in"})
        QTest::newRow(path) << QString::fromLatin1(path) << angle + u'|' + curly;
}

// Every quoted text with a Russian letter in it; texts without one are
// examples of input ("2 1 5 1 3 10") or names in the program's own Latin
// letters. A menu path ("Данные → Решить массив") is checked item by item.
void TestDocuments::quotesAreTheProgramsTexts()
{
    QFETCH(QString, document);
    QFETCH(QString, quotes);
    QFile file(kSource + u'/' + document);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = readable(QString::fromUtf8(file.readAll()));
    const QRegularExpression quote(quotes);
    static const QRegularExpression russian(QStringLiteral("[А-яЁё]"));
    QStringList foreign;
    for (auto match = quote.globalMatch(text); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        QString quoted;
        for (int i = 1; i <= found.lastCapturedIndex(); ++i)
            quoted += found.captured(i);
        for (const QString &item : quoted.split(u'→')) {
            const QString words = simplified(item);
            if (words.contains(russian) && !isProgramText(words, m_texts))
                foreign << words;
        }
    }
    QVERIFY2(foreign.isEmpty(), qPrintable(QStringLiteral("%1 quotes texts the program does not have:\n%2")
                                                .arg(document, foreign.join(u'\n'))));
}

QTEST_MAIN(TestDocuments)
#include "tst_documents.moc"
