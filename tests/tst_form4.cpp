// SPDX-License-Identifier: GPL-3.0-or-later
#include "testsupport.h"
#include "ui/editor/form2.h"
#include "ui/extras/form4.h"
#include "ui/main/form1.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTest>

namespace {

int px(int twips, int dpi)
{
    return qRound(twips * dpi / 1440.0);
}

QRect twipsRect(const QWidget *w, int left, int top, int width, int height)
{
    const int dx = w->logicalDpiX(), dy = w->logicalDpiY();
    return QRect(px(left, dx), px(top, dy), px(width, dx), px(height, dy));
}

} // namespace

class TestForm4 : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void window();
    void labels_data();
    void labels();
    void singleInstance();
    void helpMenu_data();
    void helpMenu();
};

void TestForm4::cleanup()
{
    delete Form4::instance();
}

void TestForm4::window()
{
    Form4 *about = Form4::showSingle();
    QVERIFY(about);
    QCOMPARE(about->objectName(), QStringLiteral("Form4"));
    QCOMPARE(about->windowTitle(), QStringLiteral("О программе"));
    QVERIFY(about->isVisible());
    QCOMPARE(about->parentWidget(), nullptr);
    QCOMPARE(about->windowType(), Qt::Tool);
    QVERIFY(!(about->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(about->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(about->palette().color(QPalette::Window), QColor(38, 38, 38));
    QCOMPARE(about->minimumSize(), about->maximumSize());
    QCOMPARE(about->size(), twipsRect(about, 0, 0, 4680, 2820).size());
    const QPoint middle = about->screen()->availableGeometry().center();
    QVERIFY(qAbs(about->frameGeometry().center().x() - middle.x()) <= 1);
    QVERIFY(qAbs(about->frameGeometry().center().y() - middle.y()) <= 1);

    auto *image = about->findChild<QLabel *>(QStringLiteral("Image1"));
    QVERIFY(image);
    QCOMPARE(image->geometry(), twipsRect(about, 2760, 0, 1920, 1920));
    QVERIFY(image->pixmap().isNull());
}

void TestForm4::labels_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<qreal>("pointSize");
    QTest::addColumn<bool>("bold");

    QTest::newRow("title") << "Label1" << "О программе" << QRect(120, 120, 2535, 495) << 18.0
                           << true;
    QTest::newRow("version") << "Label2" << "Ravno v1.0 русская версия"
                             << QRect(120, 600, 2535, 255) << 8.25 << true;
    QTest::newRow("purpose")
        << "Label3" << "Программа предназначена для решения систем уравнений 2-10 порядка."
        << QRect(120, 960, 2535, 615) << 8.25 << false;
    QTest::newRow("author heading") << "Label4" << "Создатель" << QRect(120, 1680, 2535, 375)
                                    << 12.0 << false;
    QTest::newRow("credits") << "Label5" << "" << QRect(120, 2040, 3015, 615) << 8.25 << false;
}

void TestForm4::labels()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QRect, twips);
    QFETCH(qreal, pointSize);
    QFETCH(bool, bold);

    Form4 *about = Form4::showSingle();
    auto *label = about->findChild<QLabel *>(name);
    QVERIFY(label);
    if (text.isEmpty())
        QVERIFY(label->text().startsWith(QStringLiteral("Разработчики Ravno")));
    else
        QCOMPARE(label->text(), text);
    QCOMPARE(label->font().pointSizeF(), pointSize);
    QCOMPARE(label->font().bold(), bold);
    QCOMPARE(label->font().families().constFirst(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 255, 0));
    QVERIFY(!label->autoFillBackground());

    // Placed as designed, and grown (never shrunk) where the face on this
    // system needs more room, so that no text is cut off.
    const QRect designed = twipsRect(about, twips.x(), twips.y(), twips.width(), twips.height());
    QCOMPARE(label->pos(), designed.topLeft());
    QVERIFY(label->width() >= designed.width());
    QVERIFY(label->height() >= designed.height());
    const int needed = label->wordWrap() ? label->heightForWidth(label->width())
                                         : label->sizeHint().height();
    QVERIFY(label->height() >= needed);
    if (!label->wordWrap())
        QVERIFY(label->width() >= label->sizeHint().width());
    QVERIFY(label->geometry().bottom() < about->height());
}

void TestForm4::singleInstance()
{
    QCOMPARE(Form4::instance(), nullptr);
    QPointer<Form4> first = Form4::showSingle();
    QCOMPARE(Form4::showSingle(), first.data());
    QCOMPARE(Form4::instance(), first.data());
    int abouts = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        abouts += qobject_cast<Form4 *>(w) != nullptr;
    QCOMPARE(abouts, 1);

    QVERIFY(first->close());
    QTRY_VERIFY(first.isNull());
    QCOMPARE(Form4::instance(), nullptr);

    Form4 *second = Form4::showSingle();
    QVERIFY(second);
    QVERIFY(second->isVisible());
}

void TestForm4::helpMenu_data()
{
    QTest::addColumn<bool>("editor"); // the editor's menu, else the main window's
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("opensAbout");
    QTest::addColumn<QString>("message"); // a box under "Ошибка" naming this file

    QTest::newRow("main window about") << false << "about" << "О программе" << true << "";
    QTest::newRow("editor about") << true << "about" << "О программе" << true << "";
    QTest::newRow("main window help") << false << "what" << "Справка" << false << "files/help.htm";
    QTest::newRow("editor help") << true << "what2" << "Справка" << false << "files/help.htm";
    QTest::newRow("main window report") << false << "final" << "Подробный отчет" << false << "";
    QTest::newRow("editor report") << true << "final" << "Подробный отчет" << false << "";
}

void TestForm4::helpMenu()
{
    QFETCH(bool, editor);
    QFETCH(QString, item);
    QFETCH(QString, caption);
    QFETCH(bool, opensAbout);
    QFETCH(QString, message);

    // A working folder without the help page: starting help must fail with
    // a message rather than quietly or by ending the program.
    ravno::test::Sandbox box;
    std::unique_ptr<QWidget> window;
    if (editor)
        window = std::make_unique<Form2>(*box.context);
    else
        window = std::make_unique<Form1>(*box.context);
    auto *action = window->findChild<QAction *>(item);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
    auto *help = window->findChild<QAction *>(QStringLiteral("help"));
    QVERIFY(help);
    QCOMPARE(help->text(), QStringLiteral("Помощь"));
    QVERIFY(help->menu() && help->menu()->actions().contains(action));

    action->trigger();
    QCOMPARE(Form4::instance() != nullptr, opensAbout);
    if (opensAbout) {
        QVERIFY(Form4::instance()->isVisible());
        QCOMPARE(Form4::instance()->parentWidget(), nullptr);
    }
    if (message.isEmpty()) {
        QCOMPARE(box.messages.boxes.size(), 0);
    } else {
        QCOMPARE(box.messages.boxes.size(), 1);
        QCOMPARE(box.messages.boxes.constFirst().title, QStringLiteral("Ошибка"));
        QVERIFY(box.messages.boxes.constFirst().text.contains(message));
    }
}

QTEST_MAIN(TestForm4)
#include "tst_form4.moc"
