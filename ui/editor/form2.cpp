// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/editor/form2.h"

#include "core/text/arraytext.h"
#include "core/text/numbertext.h"
#include "core/order.h"
#include "core/randomdigits.h"
#include "ui/common/busycursor.h"
#include "ui/common/context.h"
#include "ui/common/controltable.h"
#include "ui/common/focusring.h"
#include "ui/common/layout.h"
#include "ui/common/menus.h"
#include "ui/common/readers.h"
#include "ui/common/textarea.h"
#include "ui/common/windowfit.h"
#include "ui/editor/pastebox.h"
#include "ui/editor/saveloadicon.h"
#include "ui/extras/form4.h"
#include "ui/extras/helpmenu.h"
#include "ui/extras/keptlabel.h"
#include "ui/extras/roadanimator.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>
#include <limits>

using namespace ravno;

namespace {

constexpr Place kPreviewPlace{2040, 720, 615, 195};
// The note lies beneath the preview wherever the preview ends.
constexpr Place kNotePlace{2040, 915, 615, 195};
// A longer piece is shown cut, so the note stays one short line.
constexpr int kNotePieceChars = 20;
constexpr int kClientWidth = 4710;  // twips
constexpr int kClientHeight = 4125; // twips

constexpr ControlRow kControls[] = {
    {"Text1", {840, 120, 3255, 285}, "", "Содержимое массива"},
    {"Text2", {0, 120, 615, 285}, "4", "Порядок массива"},
    {"VScroll1", {615, 120, 135, 270}},
    {"Command2", {0, 390, 750, 210}, "RND", "Случайный порядок массива"},
    {"Command1", {840, 390, 3255, 210}, "RND", "Случайное содержимое массива"},
    {"Command3", {4080, 120, 615, 480}, "", "Сохранить/загрузить готовый массив"},
    {"Command4", {2880, 600, 1215, 255}, "Готово", "Перейти на основное окно"},
    {"Label1", kPreviewPlace, "", "Система уравнений"},
    {"Label2", kNotePlace, "", "Как прочитано то, что не число"},
};

// "«1,5» прочитано как 1 — дробная часть пишется через точку".
QString noteText(const MisreadPiece &misread, const QLocale &locale)
{
    QString piece = misread.piece;
    if (piece.size() > kNotePieceChars)
        piece = piece.left(kNotePieceChars - 1) + u'…';
    if (misread.decimalComma)
        return QStringLiteral("«%1» прочитано как %2 — дробная часть пишется через точку")
            .arg(piece, formatGeneral(misread.value, locale));
    if (misread.divisionByZero)
        return QStringLiteral("«%1» прочитано как %2 — деление на ноль")
            .arg(piece, formatGeneral(misread.value, locale));
    return QStringLiteral("«%1» прочитано как %2").arg(piece, formatGeneral(misread.value, locale));
}

} // namespace

Form2::Form2(AppContext &context, QWidget *parent) : QMainWindow(parent), m_context(context)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Редактор массивов"));
    applyWindowLook(this);
    buildMenus();
    buildControls();
    showFocusRing(centralWidget());
    m_road = new RoadAnimator(this, RoadKind::Form2, m_menu.graph, m_menu.stoper);
    centreOnScreen(this);
    refitWhenFramed(this, [this] { fitText(); });
    loadSteps();
}

Form2::~Form2() = default;

void Form2::buildControls()
{
    auto *client = new QWidget(this);
    fixClientArea(this, client, kClientWidth, kClientHeight);
    const ControlTable controls(client, kControls);

    auto *pasteBox = controls.make<PasteBox>("Text1");
    m_text = pasteBox;
    m_text->setMaxLength(std::numeric_limits<int>::max());
    m_text->setAccessibleName(QStringLiteral("Содержимое массива"));

    m_order = controls.make<QLineEdit>("Text2");
    m_order->setReadOnly(true);
    m_order->setFocusPolicy(Qt::NoFocus);
    m_order->setAccessibleName(QStringLiteral("Порядок массива"));

    m_scroll = controls.make<QScrollBar>("VScroll1", Qt::Vertical);
    m_scroll->setRange(kLowestPosition, kHighestPosition);
    m_scroll->setSingleStep(1);
    m_scroll->setPageStep(1); // a click beside the thumb moves one order, as an arrow does
    m_scroll->setValue(8);
    // Reachable by Tab, so the order can be set with the arrow keys too.
    m_scroll->setFocusPolicy(Qt::StrongFocus);
    m_scroll->setAccessibleName(QStringLiteral("Выбор порядка массива"));

    m_rndOrder = controls.make<QPushButton>("Command2");
    m_rndOrder->setAccessibleName(QStringLiteral("Случайный порядок"));
    m_rndText = controls.make<QPushButton>("Command1");
    m_rndText->setAccessibleName(QStringLiteral("Случайные числа"));
    m_saveLoad = controls.make<QPushButton>("Command3");
    m_saveLoad->setIcon(saveLoadIcon());
    m_saveLoad->setIconSize(m_saveLoad->size() - QSize(6, 6));
    m_saveLoad->setAccessibleName(QStringLiteral("Сохранить или загрузить массив"));
    m_ready = controls.make<QPushButton>("Command4");

    // Kept: repainted under the moving road without laying out its text anew.
    m_preview = controls.make<KeptLabel>("Label1");
    nameMatrix(m_preview, QStringLiteral("Система уравнений"));
    m_preview->setText(kPreviewTitle);
    m_preview->setTextFormat(Qt::PlainText);
    m_preview->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_preview->setStyleSheet(QStringLiteral("KeptLabel { color: rgb(0,255,255); }"));
    // The preview grows with the system, centred where the label stands,
    // beneath "Готово".
    m_previewArea = new TextArea(m_preview, m_preview->geometry(), TextArea::Growth::BothSides, client);
    m_previewArea->keepTitleClearOf(m_ready);

    // In the preview's colours, one line, shown only while there is
    // something to say.
    m_note = controls.make<KeptLabel>("Label2");
    nameResult(m_note, QStringLiteral("Замечание"));
    m_note->setTextFormat(Qt::PlainText);
    m_note->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_note->setStyleSheet(QStringLiteral("KeptLabel { color: rgb(0,255,255); }"));
    m_noteArea = new TextArea(m_note, m_note->geometry(), TextArea::Growth::BothSides, client);
    m_noteArea->hide();

    setTabOrder(m_text, m_scroll);
    setTabOrder(m_scroll, m_rndOrder);
    m_text->setFocus();

    connect(m_scroll, &QScrollBar::valueChanged, this, &Form2::scrollMoved);
    connect(m_order, &QLineEdit::textChanged, this, &Form2::orderChanged);
    connect(m_text, &QLineEdit::textChanged, this, &Form2::textChanged);
    // A pasted system of order n sets the order as the scroll bar would.
    connect(pasteBox, &PasteBox::orderPasted, m_scroll, [this](int n) { m_scroll->setValue(positionOfOrder(n)); });
    // A refused paste is said on the note line until the text next changes.
    connect(pasteBox, &PasteBox::refused, this, [this](const QString &line) { showNote(line); });
    connect(m_rndText, &QPushButton::clicked, this, &Form2::randomContents);
    connect(m_rndOrder, &QPushButton::clicked, this, &Form2::randomOrder);
    connect(m_saveLoad, &QPushButton::clicked, this, [this] {
        if (m_openSaveLoad)
            m_openSaveLoad();
    });
    connect(m_ready, &QPushButton::clicked, this, &Form2::ready);
    // Return in the contents box ends the editing, as "Готово" does.
    connect(m_text, &QLineEdit::returnPressed, this, &Form2::ready);
}

void Form2::buildMenus()
{
    MenuActions &a = m_menu;
    buildMenuBar(
        menuBar(),
        {{"file", "Файл",
          {{"new", "Новый массив", &a.newArray}, {"createlist", "Создать SaveList", &a.createlist},
           {"load", "Загрузить последний массив", &a.load}, {"save", "Сохранить в последний массив", &a.save},
           {"loadsave", "Загрузить/сохранить массив", &a.loadsave}, {"ready", "Готово", &a.ready}, kSeparator,
           {"exit", "Выход из программы", &a.exit}}},
         {"animation", "Анимация",
          {{"graph", "Разрешить графику", &a.graph, true, true, false},
           {"stoper", "Разрешить анимацию", &a.stoper, true, true, true}}},
         {"help", "Помощь",
          {{"what2", "Справка", &a.what2}, {"final", "Подробный отчет", &a.final, false, false, false},
           {"check", "Проверить моё решение", &a.check, false, false, false}, {"about", "О программе", &a.about}}}});
    connect(a.newArray, &QAction::triggered, this, &Form2::newArray);
    connect(a.createlist, &QAction::triggered, this, &Form2::createList);
    connect(a.load, &QAction::triggered, this, &Form2::loadLastArray);
    connect(a.save, &QAction::triggered, this, &Form2::saveLastArray);
    connect(a.loadsave, &QAction::triggered, this, [this] {
        if (m_openSaveLoad)
            m_openSaveLoad();
    });
    connect(a.ready, &QAction::triggered, this, &Form2::ready);
    connect(a.exit, &QAction::triggered, this, &endProgram);
    connect(a.about, &QAction::triggered, this, [] { Form4::showSingle(); });
    connect(a.what2, &QAction::triggered, this, [this] { openHelp(this, m_context); });
}

void Form2::loadSteps()
{
    m_road->resetForLoad();
    m_context.workspace.resize(order());
    randomContents();
}

void Form2::showEditor()
{
    ensureWorkspaceMatches();
    show();
    raise();
    activateWindow();
}

int Form2::order() const
{
    return orderFromText(m_order->text());
}

int Form2::scrollPosition() const
{
    return m_scroll->value();
}

QString Form2::arrayText() const
{
    return m_text->text();
}

void Form2::scrollMoved(int position)
{
    m_order->setText(QString::number(orderAtPosition(position)));
}

void Form2::orderChanged()
{
    m_context.workspace.resize(order());
    textChanged();
}

void Form2::textChanged()
{
    emit systemEdited();
    if (const auto caption = fillFromText(m_context.workspace, order(), m_text->text(), m_context.locale))
        refreshPreview(*caption);
    refreshNote();
}

void Form2::refreshPreview(const QString &caption)
{
    m_preview->setText(previewForDisplay(caption));
    fitText();
}

void Form2::refreshNote()
{
    const std::optional<MisreadPiece> misread = firstMisreadPiece(m_text->text(), order());
    showNote(misread ? noteText(*misread, m_context.locale) : QString());
}

void Form2::showNote(const QString &note)
{
    if (note == m_note->text() && m_noteArea->isHidden() == note.isEmpty())
        return;
    m_note->setText(note);
    m_noteArea->setVisible(!note.isEmpty());
    fitText();
}

void Form2::fitText()
{
    QList<TextArea *> areas{m_previewArea};
    if (!m_noteArea->isHidden()) {
        // Beneath the preview however far it has grown.
        m_noteArea->setShift(std::max(0, m_previewArea->wanted().bottom() + 1 - m_noteArea->designedHome().top()));
        areas << m_noteArea;
    }
    fitWindowToText(this, twipsRect(this, 0, 0, kClientWidth, kClientHeight).size(), areas);
}

void Form2::randomContents()
{
    m_text->setText(QString());
    m_text->setText(ravno::randomContents(m_context.random, order()));
}

void Form2::randomOrder()
{
    m_scroll->setValue(randomOrderPosition(m_context.random));
}

void Form2::newArray()
{
    m_scroll->setValue(kHighestPosition);
    loadSteps();
}

void Form2::loadArray(const LoadedArray &array)
{
    const BusyCursor busy;
    m_text->setText(QString());
    m_scroll->setValue(array.scrollPosition);
    m_text->setText(array.editorText);
}

void Form2::ensureWorkspaceMatches()
{
    // "Выгрузить массив" may have shrunk the workspace while the editor
    // still shows a system; solve what the editor shows.
    if (m_context.workspace.order() != order()) {
        m_context.workspace.resize(order());
        textChanged();
    }
}

bool Form2::saveLastArray()
{
    return !m_context.messages.failed(
        this, m_context.arrays.save(kLastArrayName, m_scroll->value(), m_text->text()));
}

void Form2::loadLastArray()
{
    const BusyCursor busy;
    const Result<LoadedArray> read = m_context.arrays.loadLast();
    if (m_context.messages.failed(this, read))
        return;
    if (!read.value().hasData) {
        // Like every load that fails, this one leaves the editor as it was:
        // an emptied line would leave the old system previewed and solved.
        m_context.messages.inform(this, QStringLiteral("Ошибка"), QStringLiteral("Нет данных"));
    } else {
        loadArray(read.value());
    }
    m_context.messages.failed(this, read.value().notice);
}

void Form2::createList()
{
    const QString question = QStringLiteral("Вы уверены что хотите создать Новый SaveList?\r\n"
                                            "Новый SaveList заменит старый.\r\n"
                                            "Подробности в справке.");
    if (m_context.messages.confirm(this, QStringLiteral("Создать SaveList"), question)
        != Messages::Reply::Ok)
        return;
    if (m_context.messages.failed(this, m_context.catalogue.create()))
        return;
    m_context.messages.inform(this, QStringLiteral("Готово"), QStringLiteral("Создан новый SaveList"));
}

void Form2::ready()
{
    saveLastArray();
    ensureWorkspaceMatches();
    hide();
    emit returnedToMain();
}

void Form2::closeEvent(QCloseEvent *event)
{
    // The editor is never destroyed: closing it returns to the main window.
    event->ignore();
    saveLastArray();
    ensureWorkspaceMatches();
    if (m_hideSaveLoad)
        m_hideSaveLoad();
    hide();
    emit returnedToMain();
}
