// SPDX-License-Identifier: GPL-3.0-or-later
#include "testsupport.h"
#include "ui/editor/form2.h"
#include "ui/extras/form4.h"
#include "ui/main/form1.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QTest>

class TestForm4 : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void window();
    void singleInstance();
    void helpMenu_data();
    void helpMenu();
    void menusByKeyboard();
};

void TestForm4::cleanup()
{
    delete Form4::instance();
}

// A tool window of its own, of a fixed size, centred on the screen; what it
// shows is checked with every window in tst_layout.
void TestForm4::window()
{
    Form4 *about = Form4::showSingle();
    QVERIFY(about);
    QCOMPARE(about->windowTitle(), QStringLiteral("О программе"));
    QVERIFY(about->isVisible());
    QCOMPARE(about->parentWidget(), nullptr);
    QCOMPARE(about->windowType(), Qt::Tool);
    QVERIFY(!(about->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(about->minimumSize(), about->maximumSize());
    // Its light words lie on a dark ground.
    QVERIFY(about->palette().color(QPalette::Window).lightness() < 128);
    const QPoint middle = about->screen()->availableGeometry().center();
    QVERIFY(qAbs(about->frameGeometry().center().x() - middle.x()) <= 1);
    QVERIFY(qAbs(about->frameGeometry().center().y() - middle.y()) <= 1);
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

    QPointer<Form4> second = Form4::showSingle();
    QVERIFY(second);
    QVERIFY(second->isVisible());
    QVERIFY(QTest::qWaitForWindowActive(second));
    // Escape closes it, and a closed About window is gone.
    QTest::keyClick(second->windowHandle(), Qt::Key_Escape);
    QTRY_VERIFY(second.isNull());
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
    QCOMPARE(action->text().remove(u'&'), caption);
    auto *help = window->findChild<QAction *>(QStringLiteral("help"));
    QVERIFY(help);
    QCOMPARE(help->text().remove(u'&'), QStringLiteral("Помощь"));
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

// F10 and the arrows to "О программе"; Alt with a letter that is no
// mnemonic types nothing.
void TestForm4::menusByKeyboard()
{
    ravno::test::Sandbox box;
    Form1 main(*box.context);
    main.show();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QTest::keyClick(main.windowHandle(), Qt::Key_F10);
    QTRY_VERIFY(QApplication::activePopupWidget());
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Right);
    auto *about = main.findChild<QAction *>(QStringLiteral("about"));
    for (int i = 0; i < 5 && qobject_cast<QMenu *>(QApplication::activePopupWidget())->activeAction() != about; ++i)
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Return);
    QVERIFY(Form4::instance());

    auto *text = new QLineEdit(&main);
    text->setFocus();
    QTest::sendKeyEvent(QTest::Press, text, Qt::Key_Q, QStringLiteral("q"), Qt::AltModifier);
    QVERIFY(text->text().isEmpty());
}

QTEST_MAIN(TestForm4)
#include "tst_form4.moc"
