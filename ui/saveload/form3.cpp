// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/saveload/form3.h"

#include "storage/arrayfile.h"
#include "storage/catalogue.h"
#include "ui/common/context.h"
#include "ui/common/layout.h"
#include "ui/common/viewtext.h"
#include "ui/editor/form2.h"
#include "ui/extras/roadanimator.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTextDocument>

#include <algorithm>

using namespace ravno;

namespace {

struct ButtonRow
{
    const char *name;
    const char *caption;
    Place place;
    const char *toolTip;
};

// Command3 and Text1 share one place: the view lies where its button was.
constexpr ButtonRow kButtons[] = {
    {"Command1", "Сохранить", {240, 120, 2055, 255}, "Сохранить текущий массив"},
    {"Command2", "Загрузить", {2400, 120, 2055, 255}, ""},
    {"Command3", "Редактировать список", {240, 1080, 2055, 255}, "Показать содержимое SaveList"},
    {"Command4", "Сохранить", {240, 3840, 975, 255}, "Сохранить новое содержимое в SaveList"},
    {"Command5", "Скрыть", {240, 4080, 975, 255}, "Скрыть SaveList"},
    {"Command6", "Готово", {3240, 2520, 1215, 255}, "Перейти к редактору массивов"},
};

// The tick box lies on black, where the style's own square would be drawn
// black on black: its square is white with a black tick and a grey frame,
// as on a light window.
class TickBoxStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        const auto *button = qstyleoption_cast<const QStyleOptionButton *>(option);
        if (element != PE_IndicatorCheckBox || !button)
            return QProxyStyle::drawPrimitive(element, option, painter, widget);
        QStyleOptionButton light = *button;
        light.palette.setColor(QPalette::Base, Qt::white);
        light.palette.setColor(QPalette::Text, Qt::black);
        light.palette.setColor(QPalette::WindowText, Qt::black);
        light.palette.setColor(QPalette::Window, QColor(192, 192, 192));
        QProxyStyle::drawPrimitive(element, &light, painter, widget);
    }
};

bool isEnter(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

Form3::Form3(AppContext &context, Form2 &editor, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint),
      m_context(context), m_editor(&editor)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Сохранение/Загрузка массивов"));
    setAttribute(Qt::WA_DeleteOnClose);
    applyWindowLook(this);
    // Every box of this window is black with green text: the tick box and
    // the drop-down list of the name box as well.
    setStyleSheet(styleSheet()
                  + QStringLiteral("QCheckBox, QComboBox QAbstractItemView {"
                                   "  background-color: black; color: rgb(0,255,0); }"));
    buildControls();
    // The road lies on the black client area, beneath the controls.
    m_road = new RoadAnimator(findChild<QWidget *>(QStringLiteral("client")), RoadKind::Form3);
    centreOnScreen(this);
    refillLists();
}

Form3::~Form3() = default;

void Form3::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(twipsToPixels(4710, this), twipsToPixels(4410, this));
    setFixedSize(client->size());

    QPushButton *buttons[std::size(kButtons)];
    for (std::size_t i = 0; i < std::size(kButtons); ++i) {
        const ButtonRow &row = kButtons[i];
        buttons[i] = makeButton(client, row.name, QString::fromUtf8(row.caption), row.place,
                                QString::fromUtf8(row.toolTip));
    }
    m_save = buttons[0];
    m_load = buttons[1];
    m_view = buttons[2];
    m_rewrite = buttons[3];
    m_hide = buttons[4];
    m_done = buttons[5];

    // The name is taken exactly as typed: no completion from the list, and
    // Enter saves rather than adding the text to the list.
    m_name = new QComboBox(client);
    m_name->setObjectName(QStringLiteral("Combo1"));
    m_name->setEditable(true);
    m_name->setInsertPolicy(QComboBox::NoInsert);
    m_name->setCompleter(nullptr);
    m_name->setEditText(QStringLiteral("Combo1"));
    placeControl(m_name, this, {240, 360, 2055, 315}, QStringLiteral("В какой файл сохраняем"));
    m_name->lineEdit()->installEventFilter(this);
    m_name->installEventFilter(this);

    m_addToList = new QCheckBox(QStringLiteral("Добавить в список"), client);
    m_addToList->setObjectName(QStringLiteral("Check1"));
    m_addToList->setChecked(true);
    auto *tickStyle = new TickBoxStyle;
    tickStyle->setParent(m_addToList);
    m_addToList->setStyle(tickStyle);
    placeControl(m_addToList, this, {240, 720, 1815, 255}, QStringLiteral("Добавить в SaveList"));
    // The caption must be read whole where the type is wider than the
    // window was drawn for: the box may grow into the gap before the list.
    const int roomy = twipsToPixels(2400 - 240 - 60, this);
    m_addToList->resize(std::clamp(m_addToList->sizeHint().width(), m_addToList->width(), roomy),
                        m_addToList->height());

    m_names = new QListWidget(client);
    m_names->setObjectName(QStringLiteral("Combo2"));
    m_names->setSelectionMode(QAbstractItemView::SingleSelection);
    placeControl(m_names, this, {2400, 360, 2055, 2010}, QStringLiteral("Список доступных массивов"));
    nameByToolTip(m_names);
    m_names->installEventFilter(this);

    m_catalogue = new QPlainTextEdit(client);
    m_catalogue->setObjectName(QStringLiteral("Text1"));
    m_catalogue->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_catalogue->setTabChangesFocus(true);
    m_catalogue->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_catalogue->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    placeControl(m_catalogue, this, {240, 1080, 1935, 2685}, QStringLiteral("Содержимое SaveList"));
    nameByToolTip(m_catalogue);

    const QList<QWidget *> tabOrder{m_save, m_load,      m_name,    m_addToList, m_names,
                                    m_view, m_catalogue, m_rewrite, m_hide,      m_done};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    setCatalogueShown(false);

    connect(m_save, &QPushButton::clicked, this, &Form3::saveArray);
    connect(m_load, &QPushButton::clicked, this, &Form3::loadArray);
    connect(m_view, &QPushButton::clicked, this, &Form3::viewCatalogue);
    connect(m_rewrite, &QPushButton::clicked, this, &Form3::rewriteCatalogue);
    connect(m_hide, &QPushButton::clicked, this, [this] { setCatalogueShown(false); });
    connect(m_done, &QPushButton::clicked, this, &QWidget::close);
}

bool Form3::eventFilter(QObject *watched, QEvent *event)
{
    if (isEnter(event)) {
        if (watched == m_name || watched == m_name->lineEdit()) {
            saveArray();
            return true;
        }
        if (watched == m_names) {
            loadArray();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form3::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (m_editor)
        m_editor->showEditor();
}

bool Form3::refillLists()
{
    // Only the lists: the typed name, the tick and an open catalogue view
    // stay as they are.
    m_road->resetForLoad();
    const QString typed = m_name->currentText();
    m_name->clear();
    m_names->clear();
    m_name->setEditText(typed);

    const Result<QStringList> names = m_context.catalogue.names();
    if (m_context.messages.failed(this, names))
        return false;
    m_name->addItems(names.value());
    m_names->addItems(names.value());
    // Filling the list must not replace what was typed.
    m_name->setEditText(typed);
    return true;
}

bool Form3::refused(const QString &name)
{
    return m_context.messages.failed(this, refuseArrayName(name));
}

void Form3::saveArray()
{
    const QString name = m_name->currentText();
    if (name.isEmpty() || !m_editor || refused(name))
        return;
    // Checked before the array is written: a name the list would not give
    // back unchanged could not be loaded from it.
    const bool listed = m_addToList->isChecked();
    if (listed && m_context.messages.failed(this, refuseCatalogueName(name)))
        return;
    const Status written =
        m_context.arrays.save(name, m_editor->scrollPosition(), m_editor->arrayText());
    if (m_context.messages.failed(this, written) || !listed)
        return;
    if (!m_context.messages.failed(this, m_context.catalogue.add(name)))
        refillLists();
}

void Form3::loadArray()
{
    const QList<QListWidgetItem *> selected = m_names->selectedItems();
    if (selected.isEmpty() || !m_editor)
        return;
    const QString name = selected.first()->text();
    if (name.isEmpty() || refused(name))
        return;
    const Result<LoadedArray> read = m_context.arrays.load(name);
    if (m_context.messages.failed(this, read))
        return;
    m_editor->loadArray(read.value());
}

void Form3::viewCatalogue()
{
    // On a failure the view stays closed, so an unread catalogue cannot be
    // rewritten with an empty text.
    const Result<QString> text = m_context.catalogue.show();
    if (m_context.messages.failed(this, text))
        return;
    m_catalogue->setPlainText(withLf(text.value()));
    setCatalogueShown(true);
}

void Form3::rewriteCatalogue()
{
    const auto rewritten = m_context.catalogue.rewrite(viewText(*m_catalogue));
    if (m_context.messages.failed(this, rewritten))
        return;
    appendViewLines(*m_catalogue, rewritten.value());
    refillLists();
}

void Form3::setCatalogueShown(bool shown)
{
    m_view->setVisible(!shown);
    m_catalogue->setVisible(shown);
    m_rewrite->setVisible(shown);
    m_hide->setVisible(shown);
}

namespace ravno {

namespace {

// Keeps the one save/load window of an editor; lives as the editor's child.
class SaveLoadKeeper : public QObject
{
public:
    SaveLoadKeeper(Form2 &editor, AppContext &context)
        : QObject(&editor), m_editor(editor), m_context(context)
    {
    }
    ~SaveLoadKeeper() override { delete m_window.data(); }

    void open()
    {
        if (m_window && m_window->isVisible()) {
            showActive(m_window);
            return;
        }
        // A window hidden with the editor is not reused: every showing starts
        // from the initial state.
        delete m_window.data();
        m_window = new Form3(m_context, m_editor);
        m_window->show();
        // Beside the editor, never over its menu bar or its contents box.
        QRect keepClear = m_editor.frameGeometry();
        if (const auto *contents = m_editor.findChild<QLineEdit *>(QStringLiteral("Text1")))
            keepClear.setBottom(contents->mapToGlobal(contents->rect().bottomLeft()).y());
        placeBeside(m_window, &m_editor, keepClear);
        showActive(m_window);
    }

    void hide()
    {
        if (m_window)
            m_window->hide();
    }

private:
    Form2 &m_editor;
    AppContext &m_context;
    QPointer<Form3> m_window;
};

} // namespace

void attachSaveLoadWindow(Form2 &editor, AppContext &context)
{
    auto *keeper = new SaveLoadKeeper(editor, context);
    editor.setSaveLoadOpener([keeper] { keeper->open(); });
    editor.setSaveLoadHider([keeper] { keeper->hide(); });
}

} // namespace ravno
