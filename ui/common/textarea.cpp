// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/textarea.h"

#include "ui/common/layout.h"
#include "ui/common/printbox.h"

#include <QEvent>
#include <QLabel>
#include <QScrollBar>

#include <QtMath>

#include <algorithm>

namespace ravno {

namespace {

// Between the glyphs, descenders included, and the box's edge or border.
constexpr int kTextMargin = 2;

QWidget *roadOf(QWidget *client)
{
    return client->findChild<QWidget *>(QStringLiteral("road"), Qt::FindDirectChildrenOnly);
}

} // namespace

TextArea::TextArea(QLabel *label, const QRect &home, Growth growth, QWidget *client)
    : QScrollArea(client), m_label(label), m_home(home), m_growth(growth)
{
    setObjectName(label->objectName() + QStringLiteral("Area"));
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    setWidgetResizable(true);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // A box with a ground of its own (the answer box) keeps it; the other
    // labels show the road around their lines (setWidget would fill them
    // with the light window colour).
    const bool opaque = label->autoFillBackground();
    setWidget(label);
    label->setAutoFillBackground(opaque);
    // The margin is all the room between the glyphs and a border.
    label->setMargin(kTextMargin);
    label->setIndent(0);
    // A text taller than the area shows its newest line from its start (a
    // wrapped answer line its first answers). The label takes its new height
    // only when the area lays it out, after the text changed, so the area
    // follows the scroll range rather than the text.
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, &TextArea::showNewestLine);
    setGeometry(m_home); // not home: it may be the label's own geometry, now changed
    // Beneath every button and box of the window; only the road lies lower.
    lower();
    if (QWidget *road = roadOf(client))
        road->lower();
    for (QScrollBar *bar : {horizontalScrollBar(), verticalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, &TextArea::linesMoved);
    // The label takes its size from the area's layout after the text has
    // changed; the boxes the road keeps clear follow it.
    label->installEventFilter(this);
    fitEmptyBox();
}

bool TextArea::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_label && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        linesMoved();
    return QScrollArea::eventFilter(watched, event);
}

void TextArea::moveEvent(QMoveEvent *event)
{
    QScrollArea::moveEvent(event);
    linesMoved();
}

void TextArea::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    linesMoved();
}

void TextArea::fitEmptyBox()
{
    // An empty box keeps its designed height, although an empty line with
    // its margins asks for a little more.
    const bool empty = m_label->text().isEmpty();
    m_label->setSizePolicy(QSizePolicy::Preferred, empty ? QSizePolicy::Ignored : QSizePolicy::Preferred);
}

void TextArea::setFollowers(const QList<QWidget *> &followers)
{
    m_followers.clear();
    for (QWidget *follower : followers) {
        const auto *area = qobject_cast<TextArea *>(follower);
        m_followers.append({follower, area ? area->designedHome() : follower->geometry()});
    }
}

void TextArea::moveFollowers(int pixels)
{
    m_followersMoved = pixels;
    for (const auto &[follower, designed] : m_followers) {
        if (auto *area = qobject_cast<TextArea *>(follower))
            area->setShift(pixels);
        else
            follower->move(designed.topLeft() + QPoint(0, pixels));
    }
}

void TextArea::wrapTo(const QRect &room)
{
    auto *box = qobject_cast<PrintBox *>(m_label);
    if (m_growth != Growth::Wrap || !box)
        return;
    m_label->ensurePolished();
    const int frame = m_label->width() - m_label->contentsRect().width() + 2 * m_label->margin();
    box->setWrapWidth(std::max(1, room.right() + 1 - home().left() - frame));
    m_wrapRoom = room;
}

int TextArea::sidewaysBar() const
{
    // A number wider than the room stands alone on its line, cut: the area
    // is higher by the scroll bar, and what follows it moves down by that
    // too, so nothing lies over the bar.
    const bool cut = m_wrapRoom.isValid() && m_label->sizeHint().width() > m_wrapRoom.width();
    return cut ? horizontalScrollBar()->sizeHint().height() : 0;
}

int TextArea::growthBelow() const
{
    if (m_growth != Growth::Wrap || m_label->text().isEmpty())
        return 0;
    const int extra = m_label->sizeHint().height() + sidewaysBar() - m_home.height();
    return std::max(0, extra - m_roomAbove);
}

QRect TextArea::wanted() const
{
    if (m_growth == Growth::Wrap) {
        QSize size = m_label->sizeHint().expandedTo(m_home.size());
        if (m_label->text().isEmpty())
            size = m_home.size();
        else
            size.rheight() = std::max(m_home.height(), m_label->sizeHint().height() + sidewaysBar());
        const int rise = std::clamp(size.height() - m_home.height(), 0, m_roomAbove);
        // Beyond the screen's height the answers scroll, the first in view,
        // beside their scroll bar.
        const int most = m_home.height() + rise + m_followersMoved;
        if (size.height() > most)
            size = QSize(size.width() + verticalScrollBar()->sizeHint().width(), most);
        return QRect(home().topLeft() - QPoint(0, rise), size);
    }
    const QSize size = m_label->sizeHint().expandedTo(m_home.size());
    QRect rect(home().topLeft(), size);
    if (m_growth != Growth::BothSides)
        return rect;
    rect.moveLeft(std::max(0, home().center().x() - size.width() / 2));
    if (m_clearOf && !m_clearOf->isHidden()) {
        const QFontMetrics metrics = m_label->fontMetrics();
        const int titleWidth = metrics.horizontalAdvance(m_label->text().section(u'\n', 0, 0));
        QRect title(0, rect.top(), titleWidth, metrics.height());
        title.moveLeft(rect.left() + (rect.width() - titleWidth) / 2);
        const QRect over = m_clearOf->geometry();
        if (title.intersects(over))
            rect.translate(over.right() + 2 - title.left(), 0);
    }
    return rect;
}

QRect TextArea::wantedWithin(const QRect &room) const
{
    QRect rect = wanted();
    // A text cut at the bottom scrolls down: the area is wider by the bar,
    // so that no column lies under it. Answers make their room themselves.
    if (m_growth != Growth::Wrap && rect.bottom() > room.bottom())
        rect.setWidth(rect.width() + verticalScrollBar()->sizeHint().width());
    const bool cut = rect.width() > room.width();
    // A centred text wider than its home moves in from the left edge before
    // it is cut there.
    if (rect.left() < room.left())
        rect.moveLeft(room.left());
    if (rect.right() > room.right())
        rect.moveRight(room.right());
    rect.setLeft(std::max(rect.left(), room.left()));
    // A scroll bar takes room from the text: the area grows by it, so no
    // line lies under the bar.
    if (cut && m_growth != Growth::Wrap) // answers: counted in wanted()
        rect.setHeight(rect.height() + horizontalScrollBar()->sizeHint().height());
    return rect;
}

void TextArea::placeWithin(const QRect &room)
{
    fitEmptyBox();
    setGeometry(wantedWithin(room).intersected(room));
    showNewestLine();
    linesMoved();
}

void TextArea::showNewestLine()
{
    // Answers too many for the screen show the first answers of the newest
    // printed line; a taller matrix its first rows, from which it is read
    // (the pivot row); a taller system the last lines typed.
    QScrollBar *vertical = verticalScrollBar();
    const auto *box = qobject_cast<const PrintBox *>(m_label);
    if (box)
        vertical->setValue(std::min(vertical->maximum(), box->newestLineTop()));
    else
        vertical->setValue(m_growth == Growth::RightAndDown ? vertical->minimum() : vertical->maximum());
}

QRegion TextArea::lineBoxes() const
{
    return isHidden() ? QRegion() : m_lineBoxes;
}

void TextArea::linesMoved()
{
    QWidget *client = parentWidget();
    QRegion boxes;
    if (m_label->autoFillBackground()) {
        boxes = geometry();
    } else if (!m_label->text().isEmpty()) {
        m_label->ensurePolished();
        const QFontMetrics metrics = m_label->fontMetrics();
        const int margin = m_label->margin();
        const QRect room = m_label->contentsRect().adjusted(margin, margin, -margin, -margin);
        const QStringList lines = m_label->text().split(u'\n');
        // Where the label draws its lines: the text block as the painter
        // lays it out, whose line pitch may differ from the font's spacing.
        const QRect block = metrics.boundingRect(room, int(m_label->alignment()), m_label->text());
        const qreal pitch = qreal(block.height()) / lines.size();
        for (int i = 0; i < lines.size(); ++i) {
            const int width = metrics.horizontalAdvance(lines[i]);
            if (width == 0)
                continue;
            int left = room.left();
            if (m_label->alignment() & Qt::AlignHCenter)
                left += (room.width() - width) / 2;
            // Black around the line too, so that no dot touches a glyph.
            const QRect box(left - kTextMargin, block.top() + qRound(i * pitch) - kTextMargin,
                            width + 2 * kTextMargin, qCeil(pitch) + 2 * kTextMargin);
            boxes += QRect(m_label->mapTo(client, box.topLeft()), box.size());
        }
        boxes &= QRect(viewport()->mapTo(client, QPoint(0, 0)), viewport()->size());
    }
    const QRegion changed = boxes.xored(m_lineBoxes);
    m_lineBoxes = boxes;
    if (QWidget *road = roadOf(client); road && !changed.isEmpty())
        road->update(changed);
}

} // namespace ravno
