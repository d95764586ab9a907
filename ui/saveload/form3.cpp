// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/saveload/form3.h"

#include "storage/arrayfile.h"
#include "storage/catalogue.h"
#include "ui/common/arrayeditor.h"
#include "ui/common/busycursor.h"
#include "ui/common/context.h"
#include "ui/common/controltable.h"
#include "ui/common/failuretext.h"
#include "ui/common/focusring.h"
#include "ui/common/layout.h"
#include "ui/common/readers.h"
#include "ui/common/viewtext.h"
#include "ui/extras/keptlabel.h"
#include "ui/extras/roadanimator.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTextDocument>

#include <algorithm>

using namespace ravno;

namespace {

constexpr int kClientWidth = 4710;  // twips
constexpr int kClientHeight = 4410; // twips

// Command3 and Text1 share one place: the view lies where its button was.
constexpr ControlRow kControls[] = {
    {"Command1", {240, 120, 2055, 255}, "Сохранить", "Сохранить текущий массив"},
    {"Command2", {2400, 120, 2055, 255}, "Загрузить"},
    {"Combo1", {240, 360, 2055, 315}, "", "В какой файл сохраняем"},
    {"Check1", {240, 720, 1815, 255}, "Добавить в список", "Добавить в SaveList"},
    {"Combo2", {2400, 360, 2055, 2010}, "", "Список доступных массивов"},
    {"Command3", {240, 1080, 2055, 255}, "Редактировать список", "Показать содержимое SaveList"},
    {"Text1", {240, 1080, 1935, 2685}, "", "Содержимое SaveList"},
    {"Command4", {240, 3840, 975, 255}, "Сохранить", "Сохранить новое содержимое в SaveList"},
    {"Command5", {240, 4080, 975, 255}, "Скрыть", "Скрыть SaveList"},
    {"Command6", {3240, 2520, 1215, 255}, "Готово", "Перейти к редактору массивов"},
    {"Label1", {1320, 3840, 3135, 495}},
};

// The tick box lies on black, where the style's own square would be drawn
// black on black: its square is white with a black tick and a grey frame,
// as on a light window.
class TickBoxStyle : public QProxyStyle
{
    Q_OBJECT
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

Form3::Form3(AppContext &context, ArrayEditor &editor, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint),
      m_context(context), m_editor(&editor)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Сохранение/Загрузка массивов"));
    setAttribute(Qt::WA_DeleteOnClose);
    applyWindowLook(this);
    announceAsDialog(this);
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
    // The keyboard starts in the name box with its text selected, so that a
    // name typed at once replaces it.
    m_name->setFocus();
    m_name->lineEdit()->selectAll();
}

Form3::~Form3() = default;

void Form3::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(twipsSize(this, kClientWidth, kClientHeight));
    setFixedSize(client->size());
    const ControlTable controls(client, kControls);

    m_save = controls.make<QPushButton>("Command1");
    m_load = controls.make<QPushButton>("Command2");
    m_view = controls.make<QPushButton>("Command3");
    m_rewrite = controls.make<QPushButton>("Command4");
    m_hide = controls.make<QPushButton>("Command5");
    m_done = controls.make<QPushButton>("Command6");
    // Two buttons say "Сохранить": each says what it saves.
    m_save->setAccessibleName(QStringLiteral("Сохранить массив"));
    m_load->setAccessibleName(QStringLiteral("Загрузить массив"));
    m_rewrite->setAccessibleName(QStringLiteral("Сохранить список"));
    m_hide->setAccessibleName(QStringLiteral("Скрыть список"));

    // The name is taken exactly as typed: no completion from the list, and
    // Enter saves rather than adding the text to the list.
    m_name = controls.make<QComboBox>("Combo1");
    m_name->setEditable(true);
    m_name->setInsertPolicy(QComboBox::NoInsert);
    m_name->setCompleter(nullptr);
    m_name->setEditText(QStringLiteral("Combo1"));
    nameComboBox(m_name, QStringLiteral("Имя массива"));
    m_name->lineEdit()->installEventFilter(this);
    m_name->installEventFilter(this);

    m_addToList = controls.make<QCheckBox>("Check1");
    m_addToList->setChecked(true);
    auto *tickStyle = new TickBoxStyle;
    tickStyle->setParent(m_addToList);
    m_addToList->setStyle(tickStyle);
    // The caption must be read whole where the type is wider than the
    // window was drawn for: the box may grow into the gap before the list.
    const int roomy = twipsSize(this, 2400 - 240 - 60, 0).width();
    m_addToList->resize(std::clamp(m_addToList->sizeHint().width(), m_addToList->width(), roomy),
                        m_addToList->height());

    m_names = controls.make<QListWidget>("Combo2");
    m_names->setSelectionMode(QAbstractItemView::SingleSelection);
    // A long catalogue lays out without measuring every name.
    m_names->setUniformItemSizes(true);
    m_names->setAccessibleName(QStringLiteral("Список доступных массивов"));
    m_names->installEventFilter(this);

    m_catalogue = controls.make<QPlainTextEdit>("Text1");
    m_catalogue->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_catalogue->setTabChangesFocus(true);
    m_catalogue->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_catalogue->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_catalogue->setAccessibleName(QStringLiteral("Содержимое списка массивов"));

    // Kept: repainted under the moving road without laying out its text anew.
    m_status = controls.make<KeptLabel>("Label1");
    m_status->setTextFormat(Qt::PlainText);
    m_status->setWordWrap(true);
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // On a black ground of its own, so that the road does not cross the
    // words; shown only while it has something to say.
    m_status->setStyleSheet(QStringLiteral("KeptLabel { background-color: black; }"));
    m_status->hide();

    showFocusRing(client);

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

void Form3::fitToScreen(int frameGuess)
{
    const QScreen *shownOn = screen();
    auto *client = findChild<QWidget *>(QStringLiteral("client"), Qt::FindDirectChildrenOnly);
    if (!shownOn || !client)
        return;
    const int frame = std::max(frameGeometry().height() - geometry().height(), frameGuess);
    const int designed = twipsSize(this, 0, kClientHeight).height();
    // Never so low that the buttons beneath the view would reach the list.
    const int height = std::clamp(shownOn->availableGeometry().height() - frame, designed * 3 / 4, designed);
    const int cut = designed - height;
    const ControlTable controls(client, kControls);
    const auto designedPlace = [&](const char *name) {
        const Place &p = controls.row(name).place;
        return twipsRect(this, p.left, p.top, p.width, p.height);
    };
    m_catalogue->setGeometry(designedPlace("Text1").adjusted(0, 0, 0, -cut));
    for (const auto &[control, name] : {std::pair<QWidget *, const char *>{m_rewrite, "Command4"},
                                        {m_hide, "Command5"}, {m_status, "Label1"}})
        control->move(designedPlace(name).topLeft() - QPoint(0, cut));
    client->setFixedHeight(height);
    setFixedSize(client->width(), height);
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
    // The list taking the keyboard selects the name it shows as current (the
    // first one if none), so that Return loads what the person sees marked.
    if (watched == m_names && event->type() == QEvent::FocusIn && m_names->count() > 0) {
        if (!m_names->currentItem())
            m_names->setCurrentRow(0);
        m_names->currentItem()->setSelected(true);
    }
    return QWidget::eventFilter(watched, event);
}

void Form3::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_editor->showEditor();
}

void Form3::keyPressEvent(QKeyEvent *event)
{
    // Escape closes the window as "Готово" does; an open drop-down list
    // takes it first.
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
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

    const Result<ListedNames> listed = m_context.catalogue.names();
    if (m_context.messages.failed(this, listed))
        return false;
    m_name->addItems(listed.value().names);
    m_names->addItems(listed.value().names);
    // Filling the list must not replace what was typed.
    m_name->setEditText(typed);
    // A failed append before the reading, else a list cut short, says so.
    if (!m_context.messages.failed(this, listed.value().notice) && listed.value().cut)
        m_context.messages.error(this, listCutText(DataFolder::displayName(kCatalogueName),
                                                   listed.value().names.size()));
    return true;
}

bool Form3::refused(const QString &name)
{
    return m_context.messages.failed(this, refuseArrayName(name));
}

void Form3::saveArray()
{
    const QString name = m_name->currentText();
    if (name.isEmpty() || !m_editor)
        return;
    // Whatever an earlier save said no longer holds.
    showSaved(QString(), false);
    if (refused(name))
        return;
    // Checked before the array is written: a name the list would not give
    // back unchanged could not be loaded from it.
    const bool listed = m_addToList->isChecked();
    if (listed && m_context.messages.failed(this, refuseCatalogueName(name)))
        return;
    const Status written =
        m_context.arrays.save(name, m_editor->scrollPosition(), m_editor->arrayText());
    if (m_context.messages.failed(this, written))
        return;
    const bool added = listed && !m_context.messages.failed(this, m_context.catalogue.add(name));
    if (added)
        refillLists();
    showSaved(name, added);
}

void Form3::showSaved(const QString &name, bool listed)
{
    m_status->setVisible(!name.isEmpty());
    if (name.isEmpty()) {
        m_status->clear();
        m_status->setToolTip(QString());
        return;
    }
    // A long name is cut in its middle so that the line keeps to two rows;
    // the tool tip holds it whole.
    const QString shown = QStringLiteral("Сохранено: files/%1, %2");
    const QString where = listed ? QStringLiteral("в списке") : QStringLiteral("не в списке");
    const int room = m_status->width() - m_status->fontMetrics().horizontalAdvance(shown.arg(QString(), QString())) - 4;
    const QString fitted = m_status->fontMetrics().elidedText(name, Qt::ElideMiddle, std::max(room, 0));
    m_status->setText(shown.arg(fitted, where));
    m_status->setToolTip(shown.arg(name, where));
}

void Form3::loadArray()
{
    const QList<QListWidgetItem *> selected = m_names->selectedItems();
    if (selected.isEmpty() || !m_editor)
        return;
    const QString name = selected.first()->text();
    if (name.isEmpty() || refused(name))
        return;
    const BusyCursor busy;
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

#include "form3.moc"
