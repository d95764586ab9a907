// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/form1.h"

#include "core/exact/solver.h"
#include "ui/common/context.h"
#include "ui/common/controltable.h"
#include "ui/common/copysurface.h"
#include "ui/common/focusring.h"
#include "ui/common/layout.h"
#include "ui/common/printbox.h"
#include "ui/common/readers.h"
#include "ui/common/textarea.h"
#include "ui/common/windowfit.h"
#include "ui/common/viewtext.h"
#include "ui/editor/form2.h"
#include "ui/extras/form4.h"
#include "ui/extras/helpmenu.h"
#include "ui/extras/keptlabel.h"
#include "ui/extras/roadanimator.h"
#include "ui/common/menus.h"
#include "ui/report/reportkeeper.h"
#include "ui/saveload/form3.h"
#include "ui/saveload/saveloadkeeper.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>

#include <utility>

using namespace ravno;

namespace {

// Text1 lies over the middle of Command1; Text2 over Command4 and Label1.
constexpr ControlRow kControls[] = {
    {"Command1", {120, 120, 4455, 375}, "Ввести данные", "Ввести матрицу"},
    {"Text1", {1800, 165, 1215, 285}, "gjhgkj", "Ввести матрицу"},
    {"Command3", {120, 600, 4455, 255}, "Решить массив", "Решить систему уравнений"},
    {"Picture1", {120, 960, 4455, 255}, "", "Сюда выводится ответ"},
    {"Command2", {120, 1200, 1335, 255}, "Первый ответ", "Первый ответ из LastAns"},
    {"Command7", {1440, 1200, 1575, 255}, "Следующий ответ", "Следующий ответ из LastAns"},
    {"Command8", {3000, 1200, 1575, 255}, "Последний ответ", "Последний полученный ответ"},
    {"Command4", {240, 1560, 1575, 255}, "Все ответы", "Показать и редактировать LastAns"},
    {"Label1", {120, 1920, 4455, 2055}, "", "Преобразованный массив"},
    {"Text2", {120, 1560, 4455, 2175}, "", "Содержимое LastAns"},
    {"Command5", {120, 3720, 1095, 255}, "Сохранить", "Сохранить содержимое в LastAns"},
    {"Command6", {1200, 3720, 1095, 255}, "Скрыть", "Спрятать содержимое LastAns"},
};

constexpr int kClientWidth = 4710;  // twips
constexpr int kClientHeight = 4080; // twips
// Of the free room between "Решить массив" and the answer box, in twips.
constexpr int kAnswerRise = 60;
// The log view's designed distances to the client's right and bottom edges
// and its buttons' to the bottom, in twips: it keeps them in a grown window.
constexpr int kLogRightGap = 135;
constexpr int kLogBottomGap = 345;
constexpr int kLogButtonsGap = 360;

} // namespace

Form1::Form1(AppContext &context, QWidget *parent) : QMainWindow(parent), m_context(context)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Решение систем уравнений"));
    applyWindowLook(this);
    m_report = new ReportKeeper(m_context, this);
    buildMenus();
    buildControls();
    m_road = new RoadAnimator(this, RoadKind::Form1, m_menu.graph, m_menu.stoper);
    centreOnScreen(this);
    refitWhenFramed(this, [this] { fitText(); });

    // Load: the click target shows the button's caption, from its start.
    m_enterBox->setText(m_enter->text());
    m_enterBox->setCursorPosition(0);
    m_road->resetForLoad();
    // The keyboard starts on "Ввести данные", and the frame shows it.
    showFocusRing(centralWidget());
    m_enter->setFocus();
}

// The About window belongs to no window, yet goes with the program's first
// one, as every other window does.
Form1::~Form1()
{
    delete Form4::instance();
}

Form2 *Form1::editor() const
{
    return m_editor.get();
}

void Form1::buildControls()
{
    auto *client = new QWidget(this);
    fixClientArea(this, client, kClientWidth, kClientHeight);
    const ControlTable controls(client, kControls);

    m_enter = controls.make<QPushButton>("Command1");
    // A black button with the buttons' black caption: the click target Text1
    // lying over its middle is what shows the words.
    m_enter->setStyleSheet(QStringLiteral("QPushButton { background-color: black; }"));

    m_enterBox = controls.make<QLineEdit>("Text1");
    m_enterBox->setReadOnly(true);
    m_enterBox->setAlignment(Qt::AlignCenter);
    m_enterBox->setCursor(Qt::PointingHandCursor);
    // Only a click target: the keyboard goes to the button beneath it.
    m_enterBox->setFocusPolicy(Qt::NoFocus);
    m_enterBox->setStyleSheet(QStringLiteral("QLineEdit { padding: 0px; }")); // the caption just fits
    m_enterBox->setAccessibleName(m_enter->text());
    // The button beneath says the same to a screen reader.
    hideFromReaders(m_enterBox);
    m_enterBox->installEventFilter(this);

    m_solve = controls.make<QPushButton>("Command3");
    m_solve->setEnabled(false);

    m_answer = controls.make<PrintBox>("Picture1");
    // Answers wider than the screen go on more lines and push the controls
    // below down; a line with its margins takes a little of the room above.
    m_answerArea = new TextArea(m_answer, m_answer->geometry(), TextArea::Growth::Wrap, client);
    m_answerArea->setRoomAbove(twipsSize(this, 0, kAnswerRise).height());
    connect(m_answer, &PrintBox::changed, this, &Form1::fitText);
    nameResult(m_answer, QStringLiteral("Ответ"));

    m_first = controls.make<QPushButton>("Command2");
    m_next = controls.make<QPushButton>("Command7");
    m_next->setEnabled(false);
    m_last = controls.make<QPushButton>("Command8");
    m_all = controls.make<QPushButton>("Command4");

    // Kept: repainted under the moving road without laying out its text anew.
    m_matrix = controls.make<KeptLabel>("Label1");
    m_matrix->setTextFormat(Qt::PlainText);
    m_matrix->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_matrix->setStyleSheet(QStringLiteral("KeptLabel { font-weight: bold; }"));
    nameMatrix(m_matrix, QStringLiteral("Преобразованный массив"));
    m_matrixArea = new TextArea(m_matrix, m_matrix->geometry(), TextArea::Growth::RightAndDown, client);

    // The log view lies over the matrix label while it is shown.
    m_logText = controls.make<QPlainTextEdit>("Text2");
    m_logText->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_logText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_logText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_logText->setAccessibleName(QStringLiteral("Содержимое журнала ответов"));
    // A place to read and edit lines, where a tab is no part of the log:
    // Tab leaves it, and Escape hides it as "Скрыть" does.
    m_logText->setTabChangesFocus(true);
    m_logText->installEventFilter(this);
    m_logText->hide();

    m_saveLog = controls.make<QPushButton>("Command5");
    m_saveLog->hide();
    m_hideLog = controls.make<QPushButton>("Command6");
    m_hideLog->hide();
    // "Скрыть", the way back to the matrix, one Tab after the text and
    // "Сохранить" one Shift+Tab before it.
    setTabOrder(m_saveLog, m_logText);
    setTabOrder(m_logText, m_hideLog);
    m_answerArea->setFollowers({m_first, m_next, m_last, m_all, m_matrixArea, m_logText, m_saveLog, m_hideLog});

    connect(m_enter, &QPushButton::clicked, this, &Form1::enterData);
    connect(m_solve, &QPushButton::clicked, this, &Form1::solveFromButton);
    connect(m_first, &QPushButton::clicked, this, &Form1::firstAnswer);
    connect(m_next, &QPushButton::clicked, this, &Form1::nextAnswer);
    connect(m_last, &QPushButton::clicked, this, &Form1::lastAnswer);
    connect(m_all, &QPushButton::clicked, this, &Form1::allAnswers);
    connect(m_saveLog, &QPushButton::clicked, this, &Form1::saveAnswers);
    connect(m_hideLog, &QPushButton::clicked, this, &Form1::hideAnswers);

    // What is copied is what is shown; the matrix without the line break
    // after its last row.
    makeCopyable(m_answer, [this] { return m_answer->printedLines().join(u'\n'); });
    makeCopyable(m_matrix, [this] {
        QString rows = m_matrix->text();
        if (rows.endsWith(u'\n'))
            rows.chop(1);
        return rows;
    });
}

void Form1::buildMenus()
{
    MenuActions &a = m_menu;
    buildMenuBar(
        menuBar(),
        {{"file", "Файл",
          {{"lastans", "Последний ответ", &a.lastans}, {"allans", "Показать все ответы", &a.allans}, kSeparator,
           {"Exit", "Выход из программы", &a.exit}}},
         {"mass", "Данные",
          {{"unloadmas", "Выгрузить массив", &a.unloadmas}, {"masedit", "Редактор массивов...", &a.masedit},
           kSeparator, {"ans", "Решить массив", &a.ans, false, false, false}}},
         {"animat", "Анимация",
          {{"graph", "Разрешить графику", &a.graph, true, true, false},
           {"stoper", "Разрешить анимацию", &a.stoper, true, true, true}}},
         {"help", "Помощь",
          {{"what", "Справка", &a.what}, {"final", "Подробный отчет", &a.final, false, false, false},
           {"check", "Проверить моё решение", &a.check, false, false, false}, kSeparator,
           {"about", "О программе", &a.about}}}});
    connect(a.lastans, &QAction::triggered, this, &Form1::lastAnswer);
    connect(a.allans, &QAction::triggered, this, &Form1::toggleAnswers);
    connect(a.exit, &QAction::triggered, this, &endProgram);
    connect(a.unloadmas, &QAction::triggered, this, &Form1::unloadArray);
    connect(a.masedit, &QAction::triggered, this, &Form1::enterData);
    connect(a.ans, &QAction::triggered, this, &Form1::solve);
    m_report->addItem(a.final, this);
    m_report->addCheckItem(a.check, this);
    connect(a.about, &QAction::triggered, this, [] { Form4::showSingle(); });
    connect(a.what, &QAction::triggered, this, [this] { openHelp(this, m_context); });
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_enterBox && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && m_enterBox->rect().contains(mouse->position().toPoint())) {
            enterData();
            return true;
        }
    }
    if (watched == m_logText && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape) {
            hideAnswers();
            return true;
        }
        // Ctrl+Tab, which a text box otherwise keeps, leaves it as Tab does.
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            && key->modifiers().testFlag(Qt::ControlModifier)) {
            focusNextPrevChild(key->key() == Qt::Key_Tab && !key->modifiers().testFlag(Qt::ShiftModifier));
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Form1::closeEvent(QCloseEvent *event)
{
    event->accept();
    endProgram();
}

void Form1::enterData()
{
    m_solve->setEnabled(true);
    m_menu.ans->setEnabled(true);
    m_next->setEnabled(false);
    Form2 &editor = m_editor.ensure([this] {
        auto *made = new Form2(m_context);
        attachSaveLoadWindow(*made, m_context);
        connect(made, &Form2::returnedToMain, this, [this] { showActive(this); });
        m_report->addItem(made->reportAction(), made);
        m_report->addCheckItem(made->checkAction(), made);
        connect(made, &Form2::systemEdited, m_report, &ReportKeeper::systemEdited);
        return made;
    });
    editor.showEditor();
    hide();
}

void Form1::solveFromButton()
{
    solve();
}

void Form1::solve()
{
    m_next->setEnabled(false);
    m_solve->setEnabled(false);
    m_answer->clearPrint();

    SolveResult result = ravno::solve(m_context.workspace, m_context.locale, m_report->showsSolves());
    m_answer->print(result.answerLine);
    m_matrix->setText(withLf(result.matrixText));
    fitText();
    m_report->solved(std::move(result.record));

    // Logging the answer closes every file: a solve ends paging.
    m_context.messages.failed(this, m_context.log.append(result.answerLine));
}

void Form1::unloadArray()
{
    m_context.workspace.unload();
    m_solve->setEnabled(false);
    m_menu.ans->setEnabled(false);
    m_report->unloaded();
}

void Form1::fitText()
{
    // Nothing to copy, no stop for Tab (a click still takes the focus).
    for (QLabel *shown : {static_cast<QLabel *>(m_answer), static_cast<QLabel *>(m_matrix)})
        shown->setFocusPolicy(shown->text().isEmpty() ? Qt::ClickFocus : Qt::StrongFocus);
    fitWindowToText(this, twipsRect(this, 0, 0, kClientWidth, kClientHeight).size(),
                    {m_answerArea, m_matrixArea});
    if (!m_logText->isHidden())
        placeLogView();
}

void Form1::placeLogView()
{
    // Over the whole matrix area of the window as it is now, the buttons
    // along its bottom.
    const QSize client = centralWidget()->size();
    const QSize gaps = twipsSize(this, kLogRightGap, kLogBottomGap);
    const int right = std::max(client.width() - gaps.width(), m_matrixArea->geometry().right() + 1);
    const int buttonsTop = client.height() - twipsSize(this, 0, kLogButtonsGap).height();
    m_logText->setGeometry(QRect(QPoint(m_logText->x(), m_all->y()),
                                 QPoint(right - 1, client.height() - gaps.height() - 1)));
    m_saveLog->move(m_saveLog->x(), buttonsTop);
    m_hideLog->move(m_hideLog->x(), buttonsTop);
}

void Form1::hideAnswers()
{
    setAnswersShown(false);
}

void Form1::toggleAnswers()
{
    if (!m_all->isHidden())
        allAnswers();
    else
        hideAnswers();
}

void Form1::setAnswersShown(bool shown)
{
    // The keyboard goes back to "Все ответы" rather than to whatever follows
    // the hidden control.
    const bool hadKeyboard = m_logText->hasFocus() || m_saveLog->hasFocus() || m_hideLog->hasFocus();
    if (shown)
        placeLogView();
    m_matrixArea->setVisible(!shown);
    m_logText->setVisible(shown);
    m_all->setVisible(!shown);
    m_saveLog->setVisible(shown);
    m_hideLog->setVisible(shown);
    if (!shown && hadKeyboard)
        m_all->setFocus(Qt::OtherFocusReason);
}
