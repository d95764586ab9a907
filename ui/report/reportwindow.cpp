// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/report/reportwindow.h"

#include "core/report/reporttext.h"
#include "storage/textfile.h"
#include "ui/common/busycursor.h"
#include "ui/common/copysurface.h"
#include "ui/common/focusring.h"
#include "ui/common/layout.h"
#include "ui/common/messages.h"
#include "ui/common/readers.h"
#include "ui/report/reportprint.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPdfWriter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace ravno {
namespace {

const QString kReportTitle = QStringLiteral("Подробный отчет");
// One step a line; a little air above each part and each matrix.
const QString kReportStyle = QStringLiteral("p { margin: 0; } h3 { margin-top: 10px; margin-bottom: 4px; }"
                                            "table { margin-top: 2px; margin-bottom: 6px; }");

// The style with the exponents' size: Qt sets a superscript at two thirds
// of its whole size in points, rounded down, which can leave it at 60 % of
// the text; the size here leaves it at two thirds of the text or more.
QString reportStyle(const QFont &font)
{
    const bool points = font.pointSizeF() > 0;
    const qreal size = points ? font.pointSizeF() : font.pixelSize();
    const int shown = int(std::ceil(size * 2 / 3));
    return kReportStyle
           + QStringLiteral("sup { font-size: %1%2; }")
                 .arg(QString::number((shown * 3 + 1) / 2), points ? QStringLiteral("pt") : QStringLiteral("px"));
}

// The report's view: whatever is selected, a copy takes the whole report.
class ReportView : public QTextBrowser
{
    Q_OBJECT
public:
    ReportView(std::function<void()> copyAll, std::function<QString()> whole, std::function<void()> finish)
        : m_copyAll(std::move(copyAll)), m_whole(std::move(whole)), m_finish(std::move(finish))
    {
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->matches(QKeySequence::Copy)) {
            m_copyAll();
            event->accept();
            return;
        }
        if (event->matches(QKeySequence::SelectAll)) {
            m_finish(); // all of it
            selectAll();
            event->accept();
            return;
        }
        QTextBrowser::keyPressEvent(event);
    }

    // The context menu's copy and a drag of a selection.
    QMimeData *createMimeDataFromSelection() const override
    {
        auto *data = new QMimeData;
        data->setText(m_whole());
        return data;
    }

private:
    std::function<void()> m_copyAll;
    std::function<QString()> m_whole;
    std::function<void()> m_finish;
};

// Return presses a focused button, as Space does. The buttons are not the
// dialog's auto-default ones, so Return in the text presses none of them.
class ReturnPresses : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        auto *button = qobject_cast<QPushButton *>(watched);
        if (!button || (key != Qt::Key_Return && key != Qt::Key_Enter))
            return false;
        button->click();
        return true;
    }
};

// How many of the blocks fill `shown` of the view twice over, by a guess:
// a long line wraps, a matrix takes a line a row.
std::size_t firstScreenful(const std::vector<ReportBlock> &blocks, const QTextBrowser *view, QSize shown)
{
    const QFontMetrics metrics(view->font());
    const qsizetype across = std::max(20, shown.width() / std::max(1, metrics.averageCharWidth()));
    const qsizetype room = 2 * std::max(10, shown.height() / std::max(1, metrics.lineSpacing()));
    std::size_t count = 0;
    for (qsizetype lines = 0; count < blocks.size() && lines <= room;) {
        const ReportBlock &block = blocks[count++];
        lines += block.kind == ReportBlock::Kind::Matrix ? qsizetype(block.rows.size()) + 1
                 : block.kind == ReportBlock::Kind::Heading ? 2
                                                             : 1 + block.text.size() / across;
    }
    return count;
}

QString pdfPathFromDialog(QWidget *parent)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Сохранить в PDF"),
                                        QDir::current().filePath(QStringLiteral("otchet.pdf")),
                                        QStringLiteral("PDF (*.pdf)"));
}

} // namespace

ReportWindow::ReportWindow(Messages &messages, const QLocale &locale)
    : askPdfPath(pdfPathFromDialog),
      pace([this](std::function<void()> rest) { QTimer::singleShot(0, this, std::move(rest)); }),
      m_messages(messages), m_locale(locale)
{
    setObjectName(QStringLiteral("Report"));
    setWindowTitle(kReportTitle);
    setModal(false);
    applyWindowLook(this);
    resize(twipsSize(this, 6600, 8400));

    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("reportTitle"));
    m_title->setWordWrap(true);

    auto *view = new ReportView([this] { copyAll(); }, [this] { return plainText(); }, [this] { finishDocument(); });
    m_view = view;
    m_view->setObjectName(QStringLiteral("reportView"));
    m_view->setStyleSheet(QStringLiteral(
        "QTextBrowser { background-color: black; color: rgb(0,255,0);"
        "  border: 1px solid rgb(128,128,128); }"));
    m_view->setOpenLinks(false);
    // A reader hears the copied text, a matrix row a line, rather than the
    // view's tables cell by cell. Set before anything asks for the view's
    // interface, which is then kept.
    readAsDocument(m_view, [this] { return plainText(); });
    m_view->setAccessibleName(QStringLiteral("Отчет о решении"));
    m_view->document()->setDefaultStyleSheet(kReportStyle);

    m_copy = new QPushButton(kCopyCaption, this);
    m_copy->setObjectName(QStringLiteral("copy"));
    m_copy->setAutoDefault(false);
    m_savePdf = new QPushButton(QStringLiteral("Сохранить в PDF..."), this);
    m_savePdf->setObjectName(QStringLiteral("savePdf"));
    m_savePdf->setAutoDefault(false);
    m_check = new QPushButton(QStringLiteral("Проверить моё решение"), this);
    m_check->setObjectName(QStringLiteral("checkSolution"));
    m_check->setAutoDefault(false);
    auto *returnPresses = new ReturnPresses(this);
    for (QPushButton *button : {m_copy, m_savePdf, m_check}) {
        button->setMinimumSize(button->sizeHint().width() + 16, twipsSize(this, 0, 255).height());
        button->installEventFilter(returnPresses);
    }

    // The method the report works the system out by, for this run.
    m_method = new QComboBox(this);
    m_method->setObjectName(QStringLiteral("method"));
    m_method->addItems({QStringLiteral("Гаусс"), QStringLiteral("Гаусс — Жордан"), QStringLiteral("Крамер"),
                        QStringLiteral("Обратная матрица")});
    nameComboBox(m_method, QStringLiteral("Метод"));
    auto *methodLabel = new QLabel(QStringLiteral("Метод:"), this);
    methodLabel->setBuddy(m_method);
    // How the report's eliminations choose their pivots; the solve's own
    // answers never change with it.
    m_pivot = new QComboBox(this);
    m_pivot->setObjectName(QStringLiteral("pivot"));
    m_pivot->addItems({QStringLiteral("наибольший по модулю"), QStringLiteral("первый ненулевой")});
    nameComboBox(m_pivot, QStringLiteral("Главный элемент"));
    auto *pivotLabel = new QLabel(QStringLiteral("Главный элемент:"), this);
    pivotLabel->setBuddy(m_pivot);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_copy);
    buttons->addWidget(m_savePdf);
    buttons->addStretch();
    buttons->addWidget(m_check);
    // Each list as wide as its longest item, one under the other.
    auto *choices = new QGridLayout;
    // (The program's style sheet leaves Qt's own measure a little short.)
    for (QComboBox *list : {m_method, m_pivot}) {
        list->ensurePolished();
        int widest = 0;
        for (int i = 0; i < list->count(); ++i)
            widest = std::max(widest, list->fontMetrics().horizontalAdvance(list->itemText(i)));
        list->setMinimumWidth(widest + 2 * list->sizeHint().height() + 8);
    }
    choices->addWidget(methodLabel, 0, 0);
    choices->addWidget(m_method, 0, 1, Qt::AlignLeft);
    choices->addWidget(pivotLabel, 1, 0);
    choices->addWidget(m_pivot, 1, 1, Qt::AlignLeft);
    choices->setColumnStretch(1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);
    layout->addLayout(choices);

    // Ctrl+C copies the whole report wherever the keyboard is in the window.
    auto *copy = new QShortcut(QKeySequence::Copy, this);
    connect(copy, &QShortcut::activated, this, &ReportWindow::copyAll);
    auto *selectAll = new QShortcut(QKeySequence::SelectAll, this);
    connect(selectAll, &QShortcut::activated, this, [this] {
        finishDocument();
        m_view->selectAll();
    });
    connect(m_copy, &QPushButton::clicked, this, &ReportWindow::copyAll);
    connect(m_savePdf, &QPushButton::clicked, this, &ReportWindow::saveAsPdf);
    connect(m_check, &QPushButton::clicked, this, [this] {
        if (openCheck)
            openCheck();
    });
    connect(m_method, &QComboBox::currentIndexChanged, this, [this] {
        m_plain.clear();
        render();
    });
    connect(m_pivot, &QComboBox::currentIndexChanged, this, [this] {
        const BusyCursor busy;
        m_report = withPivot(m_report, Pivot(m_pivot->currentIndex()));
        m_plain.clear();
        render();
    });

    // The yellow frame of the other windows on whichever of them has the keyboard.
    showFocusRing(this);
}

void ReportWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_view->setFocus();
}

void ReportWindow::moveEvent(QMoveEvent *event)
{
    QDialog::moveEvent(event);
    // The window was fitted to the screen with a frame guessed from the
    // window that opened it. When the window manager frames it, maybe
    // larger, it is fitted again.
    const QSize frame = frameGeometry().size() - size();
    if (frame == m_frame || !screen())
        return;
    m_frame = frame;
    const QRect room = screen()->availableGeometry();
    // A pixel to spare: at a fractional scale the frame is rounded.
    resize(size().boundedTo(room.size() - frame - QSize(1, 1)));
    const QRect placed = frameGeometry();
    move(std::clamp(placed.left(), room.left(), std::max(room.left(), room.right() + 1 - placed.width())),
         std::clamp(placed.top(), room.top(), std::max(room.top(), room.bottom() + 1 - placed.height())));
}

void ReportWindow::setReport(Report report)
{
    const BusyCursor busy;
    // The plain text, with every digit of every fraction, is written only
    // when it is copied.
    m_report = withPivot(report, Pivot(m_pivot->currentIndex()));
    m_plain.clear();
    render();
    setEdited(false);
}

Method ReportWindow::method() const
{
    return Method(m_method->currentIndex());
}

void ReportWindow::render()
{
    m_blocks = reportBlocks(m_report, m_locale, Length::Short, method());
    // Before the window is first shown the view has no size of its own yet.
    const std::size_t first = firstScreenful(m_blocks, m_view, isVisible() ? m_view->viewport()->size() : size());
    setDocumentHtml(reportHtml(m_blocks, 0, first));
    if (first == m_blocks.size())
        m_blocks.clear();
    else
        pace([this, render = ++m_renders] {
            if (render == m_renders)
                finishDocument();
        });
}

void ReportWindow::finishDocument()
{
    if (m_blocks.empty())
        return;
    setDocumentHtml(reportHtml(m_blocks, 0, m_blocks.size()));
    m_blocks.clear();
}

void ReportWindow::setDocumentHtml(const QString &html)
{
    // A new document, laid out once when the view takes it and gives it
    // its width, and then only as far as the view shows it: the rest
    // follows in the background, as the view lays out any long text. New
    // text in the shown document would be laid out whole, as one large
    // edit. Without a page size the document is not laid out at all until
    // the view sets its width.
    const int down = m_view->verticalScrollBar()->value(), across = m_view->horizontalScrollBar()->value();
    auto *document = new QTextDocument(m_view);
    document->setDefaultFont(m_view->font());
    document->setDefaultStyleSheet(reportStyle(m_view->font()));
    document->setHtml(html);
    document->setPageSize(QSizeF(0, 0));
    QTextDocument *const old = m_view->document();
    const bool ours = old->parent() == m_view;
    m_view->setDocument(document);
    if (ours)
        delete old;
    m_view->verticalScrollBar()->setValue(down);
    m_view->horizontalScrollBar()->setValue(across);
}

void ReportWindow::setEdited(bool edited)
{
    m_edited = edited;
    m_plain.clear();
    m_title->setText(titleLine());
}

QString ReportWindow::titleLine() const
{
    QString line = QStringLiteral("Последнее решение");
    if (m_report.again)
        line += QStringLiteral(". Решение повторное: решалась матрица, которую уже преобразовало "
                               "исключение при прошлом решении");
    if (m_edited)
        line += QStringLiteral(". Систему в редакторе с тех пор изменили: здесь не она, а та, что была решена");
    return m_report.again || m_edited ? line + u'.' : line;
}

QString ReportWindow::plainText() const
{
    if (m_plain.isEmpty())
        m_plain = titleLine() + QStringLiteral("\n\n") + reportPlainText(m_report, m_locale, method());
    return m_plain;
}

void ReportWindow::copyAll() const
{
    const BusyCursor busy;
    QGuiApplication::clipboard()->setText(plainText());
}

PrintLayout ReportWindow::printLayout(QPdfWriter &writer) const
{
    // Black on white, for printing.
    writer.setTitle(kReportTitle);
    writer.setPageSize(QPageSize(QPageSize::A4));
    return layOutReport(kReportTitle, titleLine(), reportBlocks(m_report, m_locale, Length::Short, method()),
                        writer);
}

void ReportWindow::saveAsPdf()
{
    const QString path = askPdfPath(this);
    if (path.isEmpty())
        return;
    savePdfFile(this, m_messages, path, [this](QPdfWriter &writer) { return printLayout(writer); });
}

} // namespace ravno

#include "reportwindow.moc"
