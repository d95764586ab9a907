// SPDX-License-Identifier: GPL-3.0-or-later
#include "testsupport.h"
#include "ui/editor/form2.h"
#include "ui/extras/form4.h"
#include "ui/main/form1.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
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
    void menuLetters();
    void latinKeys_data();
    void latinKeys();
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
    // A screen reader announces a dialog and reads what has the keyboard.
    QCOMPARE(QAccessible::queryAccessibleInterface(about)->role(), QAccessible::Dialog);
    QVERIFY(QTest::qWaitForWindowActive(about));
    QVERIFY(QApplication::focusWidget() && QApplication::focusWidget()->window() == about);
    QVERIFY(QAccessible::queryAccessibleInterface(QApplication::focusWidget())
                ->text(QAccessible::Name).startsWith(QStringLiteral("Программа предназначена")));
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

// Every letter of every menu, titles and items, begins a word of its
// caption, none a preposition or conjunction inside it, each its own within
// its menu; «Выход» keeps «В».
void TestForm4::menuLetters()
{
    static const QStringList serviceWords{
        QStringLiteral("в"), QStringLiteral("из"), QStringLiteral("и"), QStringLiteral("на"),
        QStringLiteral("с"), QStringLiteral("к"),  QStringLiteral("о"), QStringLiteral("по"),
        QStringLiteral("для"), QStringLiteral("или"), QStringLiteral("а")};
    ravno::test::Sandbox box;
    Form1 main(*box.context);
    Form2 editor(*box.context);
    for (QMainWindow *window : {static_cast<QMainWindow *>(&main), static_cast<QMainWindow *>(&editor)}) {
        QList<QList<QAction *>> menus{window->menuBar()->actions()};
        for (QAction *title : window->menuBar()->actions())
            menus << title->menu()->actions();
        for (const QList<QAction *> &menu : menus) {
            QSet<QChar> letters;
            for (const QAction *action : menu) {
                if (action->isSeparator())
                    continue;
                const QString text = action->text();
                const qsizetype at = text.indexOf(u'&');
                const QString where = window->objectName() + u' ' + text;
                QVERIFY2(at >= 0 && at + 1 < text.size(), qPrintable(where));
                QVERIFY2(at == 0 || !text.at(at - 1).isLetter(), qPrintable(where));
                const QString word = text.mid(at + 1).section(QRegularExpression(QStringLiteral("\\W")), 0, 0);
                QVERIFY2(at == 0 || !serviceWords.contains(word.toLower()), qPrintable(where));
                QVERIFY2(!letters.contains(text.at(at + 1).toLower()), qPrintable(where));
                letters.insert(text.at(at + 1).toLower());
            }
        }
        auto *exit = window->findChild<QAction *>(window == &main ? QStringLiteral("Exit") : QStringLiteral("exit"));
        QVERIFY(exit);
        QCOMPARE(exit->text(), QStringLiteral("&Выход из программы"));
    }
}

void TestForm4::latinKeys_data()
{
    QTest::addColumn<bool>("editor");
    QTest::addColumn<int>("key"); // with Alt, as the Latin layout gives it
    QTest::addColumn<QString>("menu");

    QTest::newRow("main A is Ф: Файл") << false << int(Qt::Key_A) << "file";
    QTest::newRow("main L is Д: Данные") << false << int(Qt::Key_L) << "mass";
    QTest::newRow("main F is А: Анимация") << false << int(Qt::Key_F) << "animat";
    QTest::newRow("main G is П: Помощь") << false << int(Qt::Key_G) << "help";
    QTest::newRow("editor A is Ф: Файл") << true << int(Qt::Key_A) << "file";
    QTest::newRow("editor G is П: Помощь") << true << int(Qt::Key_G) << "help";
}

// With the Latin layout active, Alt with the key of a menu's letter opens
// the menu, and in it the key of an item's letter chooses the item.
void TestForm4::latinKeys()
{
    QFETCH(bool, editor);
    QFETCH(int, key);
    QFETCH(QString, menu);

    ravno::test::Sandbox box;
    std::unique_ptr<QMainWindow> window;
    if (editor)
        window = std::make_unique<Form2>(*box.context);
    else
        window = std::make_unique<Form1>(*box.context);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    const QString latin = QString(QChar(key)).toLower();
    QTest::sendKeyEvent(QTest::Click, window->windowHandle(), Qt::Key(key), latin, Qt::AltModifier);
    auto *opened = window->findChild<QMenu *>(menu);
    QVERIFY(opened);
    QTRY_VERIFY(opened->isVisible());
    QCOMPARE(QApplication::activePopupWidget(), opened);
    if (menu != u"help")
        return;
    // «О программе» lies on the key of «О», which types «j».
    QTest::sendKeyEvent(QTest::Click, opened, Qt::Key_J, QStringLiteral("j"), Qt::NoModifier);
    QTRY_VERIFY(Form4::instance());
}

QTEST_MAIN(TestForm4)
#include "tst_form4.moc"
