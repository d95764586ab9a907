// SPDX-License-Identifier: GPL-3.0-or-later
// The detailed report's window: reached through the menus from the
// keyboard, copied, read by a screen reader, its exponents and its PDF.
#include "core/randomdigits.h"
#include "core/report/reporttext.h"
#include "reportsupport.h"
#include "testsupport.h"
#include "ui/editor/form2.h"
#include "ui/main/form1.h"
#include "ui/report/reportkeeper.h"
#include "ui/report/reportprint.h"
#include "ui/report/reportwindow.h"
#include "windowcheck.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QRegularExpression>
#include <QBuffer>
#include <QLineEdit>
#include <QPdfWriter>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QGlyphRun>

#include <set>

using namespace ravno;
using namespace ravno::test;

namespace {

// What a screen reader is given for a control: its text, where it has one,
// or its name.
QString readerText(QWidget *widget)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    if (QAccessibleTextInterface *text = face->textInterface())
        return text->text(0, text->characterCount());
    return face->text(QAccessible::Name);
}

bool privateUse(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c >= u'\uFDD0' && c <= u'\uFDEF'; });
}

} // namespace

class TestReport : public QObject
{
    Q_OBJECT
private slots:
    void fromTheMenuByKeyboard();
    void exponentsReadable();
    void savePdf_data();
    void savePdf();
    void pdfPagesHoldEveryCharacter_data();
    void pdfPagesHoldEveryCharacter();
};

void TestReport::fromTheMenuByKeyboard()
{
    Sandbox box;
    Form1 main(*box.context);
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    press(child<QPushButton>(&main, "Command1"));
    Form2 *editor = main.editor();
    QVERIFY(editor);
    child<QLineEdit>(editor, "Text1")->setText(QStringLiteral("3 0 1 0 7 -2"));
    editor->findChild<QScrollBar *>(QStringLiteral("VScroll1"))->setValue(10);
    // A reader hears the preview a row a line.
    QCOMPARE(readerText(child<QWidget>(editor, "Label1")).split(u'\n'),
             (QStringList{"Система уравнений:", "Массив", "3 0 | 1", "0 7 | -2"}));
    press(child<QPushButton>(editor, "Command4"));
    press(child<QPushButton>(&main, "Command3"));
    QVERIFY(QTest::qWaitForWindowActive(&main));

    // "Помощь", down to "Подробный отчет".
    chooseHelpItem(&main, 1);

    ReportWindow *report = main.report()->window();
    QVERIFY(report);
    QTRY_VERIFY(report->isActiveWindow());
    QVERIFY(!report->frameGeometry().intersects(main.frameGeometry()));
    // The report is read as its copied text: each matrix row a line with
    // "|" before the right-hand side, none of the view's cell marks.
    QWidget *view = child<QWidget>(report, "reportView");
    QCOMPARE(QAccessible::queryAccessibleInterface(view)->role(), QAccessible::Document);
    const QString heard = readerText(view);
    QCOMPARE(heard, report->plainText());
    QVERIFY(!privateUse(heard) && !privateUse(readerText(child<QWidget>(&main, "Label1"))));
    QCOMPARE(heard.count(QStringLiteral(" | ")), 2);
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(report->windowHandle(), Qt::Key_C, Qt::ControlModifier);
    const QStringList copied = QGuiApplication::clipboard()->text().split(u'\n');
    QVERIFY(copied.contains(QStringLiteral("x1 = 1/3 ≈ 0.333")));
    QVERIFY(copied.contains(QStringLiteral("x2 = -2/7 ≈ -0.286")));
    // Return on "Копировать", reached by Tab from the text, copies too.
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(report->windowHandle(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("copy"));
    QTest::keyClick(report->windowHandle(), Qt::Key_Return);
    QCOMPARE(QGuiApplication::clipboard()->text().split(u'\n'), copied);
    // «Метод», three Tabs on (past «Сохранить в PDF...» and «Проверить моё
    // решение» on the same row), chooses Gauss–Jordan for the view and the copy.
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(report->windowHandle(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->accessibleName(), QStringLiteral("Метод"));
    QTest::keyClick(report->windowHandle(), Qt::Key_Down);
    QTest::keyClick(report->windowHandle(), Qt::Key_C, Qt::ControlModifier);
    QVERIFY(QGuiApplication::clipboard()->text().contains(QStringLiteral("\n2. Метод Гаусса — Жордана\n")));
    QVERIFY(readerText(view).contains(QStringLiteral("\n2. Метод Гаусса — Жордана\n")));
    checkFocusFrames(report);

    QTest::keyClick(report->windowHandle(), Qt::Key_Escape);
    QVERIFY(!report->isVisible());
}

// On screen an exponent is drawn at two thirds of its number's size or more.
void TestReport::exponentsReadable()
{
    Sandbox box;
    ReportWindow window(box.messages, kRussian);
    window.setReport(reportOf(2, QStringLiteral("1E-300 0 1E300 0 1 1")));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QTextDocument *document = window.findChild<QTextBrowser *>(QStringLiteral("reportView"))->document();
    int exponents = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        qreal number = 0;
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QList<QGlyphRun> runs = fragment.fragment().glyphRuns();
            if (runs.isEmpty())
                continue;
            const qreal size = runs.first().rawFont().pixelSize();
            if (fragment.fragment().charFormat().verticalAlignment() != QTextCharFormat::AlignSuperScript) {
                number = size;
                continue;
            }
            ++exponents;
            QVERIFY2(size >= number * 2 / 3, qPrintable(QStringLiteral("%1 of %2").arg(size).arg(number)));
        }
    }
    QVERIFY(exponents >= 4);
}

void TestReport::savePdf_data()
{
    QTest::addColumn<QString>("name"); // below the sandbox's working folder
    QTest::addColumn<bool>("written");
    QTest::newRow("written") << "otchet.pdf" << true;
    QTest::newRow("missing folder") << "nowhere/otchet.pdf" << false;
}

void TestReport::savePdf()
{
    QFETCH(QString, name);
    QFETCH(bool, written);
    Sandbox box;
    ReportWindow window(box.messages, kRussian);
    window.setReport(reportOf(2, QStringLiteral("3 0 1 0 7 -2")));
    const QString path = box.workingPath() + u'/' + name;
    window.askPdfPath = [&path](QWidget *) { return path; };
    window.show();
    press(window.findChild<QPushButton *>(QStringLiteral("savePdf")));

    QFile file(path);
    QCOMPARE(file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-", written);
    QCOMPARE(box.messages.boxes.size(), written ? 0 : 1);
    if (!written) {
        QCOMPARE(box.messages.boxes.constFirst().title, QStringLiteral("Ошибка"));
        QVERIFY(box.messages.boxes.constFirst().text.contains(QDir::toNativeSeparators(path)));
    }
}

void TestReport::pdfPagesHoldEveryCharacter_data()
{
    QTest::addColumn<QString>("contents");
    QTest::addColumn<Method>("method");
    // A name over a column of a matrix set in blocks, "" for none: the
    // unknowns head the columns of [A | b] only.
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("firstAtSmallest"); // the first matrix: 7 pt, one block
    RandomSource random;
    const QString digits = randomContents(random, 10);
    QTest::newRow("random digits") << digits << Method::Gauss << "x1" << false;
    // Each Δi's title with the determinant after it.
    QTest::newRow("random digits, Cramer") << digits << Method::Cramer << "" << false;
    QStringList long17, narrowAndWide;
    for (int k = 0; k < 110; ++k)
        long17 << QStringLiteral("%1").arg((k * 7919 % 89 + 10) * 1000000000000000LL + k * 104729);
    QTest::newRow("17 digits") << long17.join(u' ') << Method::Gauss << "x1" << false;
    // Three columns of one digit, whose names are wider than they are,
    // seven of 14 digits; the first step leaves them whole. Too wide at
    // 7.5 pt, not at 7.
    for (int i = 0; i < 10; ++i) {
        narrowAndWide << (i % 2 || i == 0 ? QStringLiteral("2") : QStringLiteral("0"));
        for (qint64 j = 1; j <= 10; ++j)
            narrowAndWide << QString::number(j < 4 ? (i * j) % 9 + 1
                                                   : 10000000000000LL * (1 + (i * 3 + j * 7) % 8) + i * 7919
                                                         + j * 104729);
    }
    QTest::newRow("fits only at 7 pt") << narrowAndWide.join(u' ') << Method::Gauss << "x1" << true;
    // [A | E] and A⁻¹, 21 and 10 columns, numbered.
    QStringList wide;
    for (int k = 0; k < 110; ++k)
        wide << QStringLiteral("%1.%2E%3").arg(k % 9 + 1).arg(k * 7919 % 1000003).arg(k * 37 % 61 - 30);
    QTest::newRow("inverse matrix") << wide.join(u' ') << Method::Inverse << "20" << false;
}

// Every piece of text lies in the text area of its page, none is lost, and
// no heading is the last on its page.
void TestReport::pdfPagesHoldEveryCharacter()
{
    QFETCH(QString, contents);
    QFETCH(Method, method);
    QFETCH(QString, name);
    QFETCH(bool, firstAtSmallest);
    Sandbox box;
    ReportWindow window(box.messages, kRussian);
    std::function<void()> rest;
    window.pace = [&rest](std::function<void()> held) { rest = std::move(held); };
    const Report report = reportOf(10, contents);
    window.setReport(report);
    window.findChild<QComboBox *>(QStringLiteral("method"))->setCurrentIndex(int(method));
    // The view holds the long report's first screenful, and all of it once
    // the rest comes.
    const QTextBrowser *view = window.findChild<QTextBrowser *>(QStringLiteral("reportView"));
    QTextDocument whole;
    whole.setHtml(reportHtml(report, kRussian, method));
    QVERIFY(rest && whole.toPlainText().startsWith(view->toPlainText()));
    QVERIFY(view->toPlainText().size() < whole.toPlainText().size());
    rest();
    QCOMPARE(view->toPlainText(), whole.toPlainText());
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    const PrintLayout layout = window.printLayout(writer);
    QString all;
    int exponents = 0;
    QStringList names; // "x3", "12": a column's name over it
    for (const auto &page : layout.pages) {
        QVERIFY(!page.empty() && !page.back().heading);
        for (std::size_t i = 0; i < page.size(); ++i) {
            const PrintedText &piece = page[i];
            static const QRegularExpression unknownOrBeyondRows(QStringLiteral("^(x\\d+|[1-9]\\d+)$"));
            if (piece.text.contains(unknownOrBeyondRows) && piece.text != QLatin1String("10"))
                names << piece.text;
            QVERIFY2(layout.textArea.contains(piece.box), qPrintable(piece.text));
            all += piece.text;
            // An exponent is at least two thirds of its number's size, and above its baseline.
            if (piece.raised) {
                ++exponents;
                QVERIFY(i > 0 && !page[i - 1].raised);
                QVERIFY(piece.font.pointSizeF() >= page[i - 1].font.pointSizeF() * 2 / 3);
                QVERIFY(piece.baseline.y() < page[i - 1].baseline.y());
            }
        }
    }
    QCOMPARE(exponents > 0, all.contains(QStringLiteral("·10")));
    QCOMPARE(names.contains(name), !name.isEmpty());
    QCOMPARE(names.filter(QRegularExpression(QStringLiteral("^x"))).isEmpty(), !name.startsWith(u'x'));
    if (firstAtSmallest) {
        // The first run of cells set below the text's size is the first
        // matrix: at 7 pt, a row a line, without the blocks' names line.
        std::set<qreal> lines;
        for (std::size_t p = 0; p < layout.pages.size() && lines.empty(); ++p) {
            for (const PrintedText &piece : layout.pages[p]) {
                if (piece.font.pointSizeF() >= 10 && !lines.empty())
                    break;
                if (piece.font.pointSizeF() < 10 && !piece.raised) {
                    QCOMPARE(piece.font.pointSizeF(), 7.0);
                    lines.insert(piece.baseline.y());
                }
            }
        }
        QCOMPARE(lines.size(), std::size_t(10));
    }
    all.remove(u' ');
    static const QString raised = QStringLiteral("⁰¹²³⁴⁵⁶⁷⁸⁹⁻"), plain = QStringLiteral("0123456789−");
    for (const ReportBlock &block : reportBlocks(report, kRussian, Length::Short, method)) {
        QStringList texts{block.text};
        for (const QStringList &row : block.rows)
            texts << row;
        for (QString text : texts) {
            for (qsizetype i = 0; i < raised.size(); ++i)
                text.replace(raised[i], plain[i]);
            QVERIFY2(all.contains(text.remove(u' ')), qPrintable(text));
        }
    }
}

QTEST_MAIN(TestReport)
#include "tst_report.moc"
