// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/check/checkwindow.h"

#include "core/check/checktext.h"
#include "ui/check/checkwords.h"
#include "storage/textfile.h"
#include "ui/common/busycursor.h"
#include "ui/common/copysurface.h"
#include "ui/common/focusring.h"
#include "ui/common/layout.h"
#include "ui/common/messages.h"
#include "ui/report/reportprint.h"

#include <QAccessible>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPdfWriter>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace ravno {
namespace {

const QString kCheckTitle = QStringLiteral("Проверка решения");
const QString kTitleLine = QStringLiteral("Система последнего решения и ваши шаги");
const QString kUnchanged = QStringLiteral(" Матрица не изменилась.");

QString pdfPathFromDialog(QWidget *parent)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Сохранить в PDF"),
                                        QDir::homePath() + QStringLiteral("/proverka.pdf"),
                                        QStringLiteral("PDF (*.pdf)"));
}

// Return presses a focused button, as Space does.
class ReturnPresses : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *button = qobject_cast<QPushButton *>(watched);
        if (!button || event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        button->click();
        return true;
    }
};

} // namespace

CheckWindow::CheckWindow(Messages &messages, const QLocale &locale)
    : askPdfPath(pdfPathFromDialog), m_messages(messages), m_locale(locale)
{
    setObjectName(QStringLiteral("Check"));
    setWindowTitle(kCheckTitle);
    setModal(false);
    applyWindowLook(this);
    resize(twipsSize(this, 6600, 8400));

    m_title = new QLabel(kTitleLine, this);
    m_title->setWordWrap(true);
    m_view = new QTextBrowser(this);
    m_view->setObjectName(QStringLiteral("checkView"));
    m_view->setStyleSheet(QStringLiteral("QTextBrowser { background-color: black; color: rgb(0,255,0);"
                                         "  border: 1px solid rgb(128,128,128); }"));
    m_view->setAccessibleName(QStringLiteral("Ваши шаги"));
    m_view->document()->setDefaultStyleSheet(
        QStringLiteral("p { margin: 0; } h3 { margin-top: 10px; margin-bottom: 4px; } pre { margin: 4px 0 6px 8px; }"));

    auto *prompt = new QLabel(QStringLiteral("&Операция:"), this);
    m_line = new QLineEdit(this);
    m_line->setObjectName(QStringLiteral("operation"));
    m_line->setAccessibleName(QStringLiteral("Операция над строками"));
    m_line->setPlaceholderText(QStringLiteral("например, R2 - 1/2 R1, R1 <-> R3, R2 * 3"));
    m_line->installEventFilter(this);
    prompt->setBuddy(m_line);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("checkStatus"));
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    const auto button = [this](const QString &caption, const char *name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    m_undo = button(QStringLiteral("Отменить"), "undo");
    m_redo = button(QStringLiteral("Вернуть"), "redo");
    m_restart = button(QStringLiteral("Сначала"), "restart");
    m_copy = button(kCopyCaption, "copy");
    m_savePdf = button(QStringLiteral("Сохранить в PDF..."), "savePdf");
    auto *returnPresses = new ReturnPresses(this);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {m_undo, m_redo, m_restart, m_copy, m_savePdf}) {
        b->setMinimumSize(b->sizeHint().width() + 16, twipsSize(this, 0, 255).height());
        b->installEventFilter(returnPresses);
        buttons->addWidget(b);
        if (b == m_restart)
            buttons->addStretch();
    }

    auto *entry = new QHBoxLayout;
    entry->addWidget(prompt);
    entry->addWidget(m_line, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_view, 1);
    layout->addLayout(entry);
    layout->addWidget(m_status);
    layout->addLayout(buttons);

    connect(m_line, &QLineEdit::returnPressed, this, &CheckWindow::applyLine);
    connect(m_undo, &QPushButton::clicked, this, &CheckWindow::undo);
    connect(m_redo, &QPushButton::clicked, this, &CheckWindow::redo);
    connect(m_restart, &QPushButton::clicked, this, &CheckWindow::restart);
    connect(m_copy, &QPushButton::clicked, this, &CheckWindow::copyAll);
    connect(m_savePdf, &QPushButton::clicked, this, &CheckWindow::saveAsPdf);
    // Outside the operation box Ctrl+Z and Ctrl+Shift+Z take back and redo
    // steps; inside it, only while it is empty (see eventFilter()).
    connect(new QShortcut(QKeySequence::Undo, this), &QShortcut::activated, this, &CheckWindow::undo);
    connect(new QShortcut(QKeySequence::Redo, this), &QShortcut::activated, this, &CheckWindow::redo);
    connect(new QShortcut(QKeySequence::Copy, m_view, nullptr, nullptr, Qt::WidgetShortcut), &QShortcut::activated,
            this, &CheckWindow::copyAll);
    showFocusRing(this);
    showSession();
}

void CheckWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_line->setFocus();
}

bool CheckWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_line && m_line->text().isEmpty()
        && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool undoKey = key->matches(QKeySequence::Undo);
        const bool redoKey = key->matches(QKeySequence::Redo);
        if (undoKey || redoKey) {
            event->accept();
            if (event->type() == QEvent::KeyPress)
                undoKey ? undo() : redo();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CheckWindow::setSystem(const ExactMatrix &system)
{
    if (system == m_session.system() && m_session.order() > 0)
        return;
    m_session = CheckSession(system);
    m_line->clear();
    showSession();
}

void CheckWindow::applyLine()
{
    const QString line = m_line->text();
    const CheckEntry entry = m_session.enter(line);
    const QString refused = refusalText(entry, line, m_session.order());
    if (!refused.isEmpty()) {
        const QString why = refused + kUnchanged;
        tell(why, why);
        // The cursor where the reading stopped, to mend the line there.
        m_line->setCursorPosition(int(refusedAt(entry)));
        return;
    }
    if (entry.kind == CheckEntry::Kind::Operation || entry.stepped) {
        m_line->clear();
        showSession(entry.kind == CheckEntry::Kind::Row ? QStringLiteral("Строка верна. ") : QString());
        return;
    }
    // A wrong row or an answer: told, and kept in the step list.
    const std::vector<CheckNote> notes = m_session.notes();
    showSession();
    const QString said = noteText(notes.back());
    tell(said, said);
    const bool right = entry.kind == CheckEntry::Kind::Answer && entry.verdict.kind == AnswerVerdict::Kind::Right;
    if (right)
        m_line->clear();
}

void CheckWindow::undo()
{
    if (!m_session.canUndo())
        return;
    m_session.undo();
    showSession();
}

void CheckWindow::redo()
{
    if (!m_session.canRedo())
        return;
    m_session.redo();
    showSession();
}

void CheckWindow::restart()
{
    m_session.restart();
    showSession();
}

void CheckWindow::showSession(const QString &lead)
{
    m_view->setHtml(checkHtml(m_session, m_locale));
    m_view->verticalScrollBar()->setValue(m_view->verticalScrollBar()->maximum());
    m_undo->setEnabled(m_session.canUndo());
    m_redo->setEnabled(m_session.canRedo());
    m_restart->setEnabled(m_session.doneCount() > 0 || m_session.canRedo() || !m_session.notes().empty());
    if (m_session.order() == 0)
        return;
    const std::size_t done = m_session.doneCount();
    QString shown = done == 0 ? QStringLiteral("Исходная система.")
                              : QStringLiteral("Шаг %1: %2.")
                                    .arg(QString::number(done),
                                         operationWords(m_session.steps()[done - 1].operation, m_locale));
    const QString verdict = shapeVerdict(matrixShape(m_session.current()));
    if (!verdict.isEmpty())
        shown += u' ' + verdict;
    tell(lead + shown, lead + currentAnnouncement(m_session, m_locale));
}

void CheckWindow::tell(const QString &shown, const QString &spoken)
{
    m_status->setText(shown);
    // The name is what a screen reader reads: told that it changed, it
    // reads the new matrix one row a line, or the refusal.
    m_status->setAccessibleName(spoken);
    QAccessibleEvent renamed(m_status, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
}

QString CheckWindow::announcement() const
{
    return m_status->accessibleName();
}

QString CheckWindow::plainText() const
{
    return kTitleLine + QStringLiteral("\n\n") + checkPlainText(m_session, m_locale);
}

void CheckWindow::copyAll() const
{
    QGuiApplication::clipboard()->setText(plainText());
}

PrintLayout CheckWindow::printLayout(QPdfWriter &writer) const
{
    writer.setTitle(kCheckTitle);
    writer.setPageSize(QPageSize(QPageSize::A4));
    return layOutReport(kCheckTitle, kTitleLine, checkBlocks(m_session, m_locale, Length::Short), writer);
}

void CheckWindow::saveAsPdf()
{
    const QString path = askPdfPath(this);
    if (path.isEmpty())
        return;
    savePdfFile(this, m_messages, path, [this](QPdfWriter &writer) { return printLayout(writer); });
}

} // namespace ravno
