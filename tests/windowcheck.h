// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a window back as a person sees it: the words a control shows, its
// place, and the state of a menu's items, for the tests that hold the
// windows' tables.
#pragma once

#include "ui/common/layout.h"
#include "ui/common/textarea.h"
#include "ui/extras/roadanimator.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QMainWindow>
#include <QRegularExpression>
#include <QScrollBar>
#include <QScopeGuard>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace ravno::test {

inline QString shownText(const QWidget *control)
{
    if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        return button->text();
    if (const auto *line = qobject_cast<const QLineEdit *>(control))
        return line->text();
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return label->text();
    if (const auto *text = qobject_cast<const QPlainTextEdit *>(control))
        return text->toPlainText();
    if (const auto *combo = qobject_cast<const QComboBox *>(control))
        return combo->currentText();
    return QString();
}

// A control that lies over another by design, by their names.
struct Overlay
{
    QString over;
    QString under;
};

// The controls of a window's table, by their names.
inline bool isTableControl(const QWidget *widget)
{
    static const QRegularExpression names(
        QStringLiteral("^(Command|Text|Label|Picture|Combo|Check|VScroll|Image)\\d+$"));
    return names.match(widget->objectName()).hasMatch();
}

inline QRect clientRect(QWidget *window)
{
    if (auto *main = qobject_cast<QMainWindow *>(window))
        return main->centralWidget()->geometry();
    return window->rect();
}

// Checks a shown window as a person meets it: every visible control lies
// inside the client area and takes a click at its centre, unless it lies
// under another by design; every caption fits its control; every answer,
// matrix and preview shows all its lines in light words, two pixels clear of
// its edges; a matrix or preview scrolls sideways only in a window as wide as
// the screen, answers never.
inline void checkWindow(QWidget *window, const QList<Overlay> &overlays = {})
{
    const QRect client = clientRect(window);
    for (QWidget *control : window->findChildren<QWidget *>()) {
        if (!isTableControl(control) || !control->isVisible())
            continue;
        const QString name = control->objectName();
        QRect place(control->mapTo(window, QPoint(0, 0)), control->size());
        auto *area = qobject_cast<TextArea *>(control->parentWidget() ? control->parentWidget()->parentWidget()
                                                                      : nullptr);
        if (area) // as far as it shows
            place &= QRect(area->viewport()->mapTo(window, QPoint(0, 0)), area->viewport()->size());
        if (area) {
            const QRect areaPlace(area->mapTo(window, QPoint(0, 0)), area->size());
            QVERIFY2(client.contains(areaPlace), qPrintable(name));
            // No button lies over the answers but by the pixel of the design.
            const bool wraps = area->growth() == TextArea::Growth::Wrap;
            for (QWidget *other : window->findChildren<QWidget *>())
                if (wraps && other != control && isTableControl(other) && other->isVisible()) {
                    const QRect over = QRect(other->mapTo(window, QPoint(0, 0)), other->size()) & place;
                    QVERIFY2(over.isEmpty() || std::min(over.width(), over.height()) <= 1,
                             qPrintable(QStringLiteral("%1 under %2").arg(name, other->objectName())));
                }
            const QRect screen = window->screen()->availableGeometry();
            const bool screenWide = window->frameGeometry().width() >= screen.width();
            QVERIFY2(!area->verticalScrollBar()->isVisible() || window->frameGeometry().height() >= screen.height(),
                     qPrintable(name + QStringLiteral(" scrolls")));
            // Answers break between numbers; only a number wider than the
            // room scrolls.
            const QStringList words = area->label()->text().split(QRegularExpression(QStringLiteral("\\s+")));
            const bool wideWord = std::any_of(words.begin(), words.end(), [&](const QString &word) {
                return control->fontMetrics().horizontalAdvance(word) > area->viewport()->width(); });
            QVERIFY2(!area->horizontalScrollBar()->isVisible() || (screenWide && !wraps) || wideWord,
                     qPrintable(name + QStringLiteral(" scrolls sideways")));
            // Nothing lies over a scroll bar: its ends and middle take a click.
            for (const QScrollBar *bar : {area->horizontalScrollBar(), area->verticalScrollBar()})
                for (const QPoint &at : {QPoint(2, 2), bar->rect().center(), bar->rect().bottomRight() - QPoint(2, 2)})
                    QVERIFY2(!bar->isVisible() || window->childAt(bar->mapTo(window, at)) == bar,
                             qPrintable(name + QStringLiteral("'s scroll bar is covered")));
        } else {
            QVERIFY2(client.contains(place), qPrintable(name));
        }

        QWidget *hit = window->childAt(place.center());
        const bool reached = hit == control || control->isAncestorOf(hit);
        const bool overlaid = std::any_of(overlays.begin(), overlays.end(), [&](const Overlay &o) {
            const QWidget *over = window->findChild<QWidget *>(o.over);
            return o.under == name && over && (hit == over || over->isAncestorOf(hit));
        });
        QVERIFY2(reached || overlaid,
                 qPrintable(QStringLiteral("%1 at %2,%3 is covered by %4")
                                .arg(name)
                                .arg(place.center().x())
                                .arg(place.center().y())
                                .arg(hit ? hit->objectName() : QStringLiteral("nothing"))));

        const QFontMetrics metrics = control->fontMetrics();
        if (auto *check = qobject_cast<QCheckBox *>(control))
            QVERIFY2(check->sizeHint().width() <= check->width(), qPrintable(name));
        else if (auto *button = qobject_cast<QAbstractButton *>(control))
            QVERIFY2(metrics.horizontalAdvance(button->text()) + 2 <= button->width(), qPrintable(name));
        else if (auto *line = qobject_cast<QLineEdit *>(control); line && line->isReadOnly())
            QVERIFY2(metrics.horizontalAdvance(line->text()) + 2 <= line->width(), qPrintable(name));
        else if (auto *label = qobject_cast<QLabel *>(control); label && !label->text().isEmpty()) {
            // The windows are black: light words on them, on no light ground.
            QVERIFY2(label->palette().color(label->foregroundRole()).lightness() >= 128,
                     qPrintable(name + QStringLiteral(" has dark text")));
            QVERIFY2(!label->autoFillBackground()
                         || label->palette().color(label->backgroundRole()).lightness() < 128,
                     qPrintable(name + QStringLiteral(" has a light ground")));
            const int lines = int(label->text().count(u'\n')) + 1;
            const int m = label->margin();
            const QRect textRoom = label->contentsRect().adjusted(m, m, -m, -m);
            const bool fits = label->wordWrap()
                                  ? label->heightForWidth(label->width()) <= label->height()
                                  : label->sizeHint().width() <= label->width()
                                        && (lines - 1) * metrics.lineSpacing() + metrics.height()
                                               <= textRoom.height();
            QVERIFY2(fits, qPrintable(name));
            if (area)
                QVERIFY2(label->contentsRect().adjusted(2, 2, -2, -2).contains(textRoom),
                         qPrintable(name + QStringLiteral(" has its text on its edge")));
        }
    }
}

// WCAG 2.1's contrast ratio of two colours, 1 to 21.
inline double contrast(QColor a, QColor b)
{
    const auto luminance = [](QColor c) {
        double sum = 0;
        for (const auto &[value, weight] : {std::pair{c.redF(), 0.2126}, {c.greenF(), 0.7152}, {c.blueF(), 0.0722}})
            sum += weight * (value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4));
        return sum + 0.05;
    };
    return std::max(luminance(a), luminance(b)) / std::min(luminance(a), luminance(b));
}

// What a screen reader finds in the window: every control that takes the
// keyboard, and every box and scroll bar, has a name of its own within the
// window: its caption, or Russian words stated for it (a result's before its
// text), with no file name in Latin, and never the text it holds.
inline void checkReaderNames(QWidget *window)
{
    static const QRegularExpression latin(QStringLiteral("[A-Za-z]"));
    static const QRegularExpression russian(QStringLiteral("[А-яЁё]"));
    QStringList names;
    for (QList todo{QAccessible::queryAccessibleInterface(window)}; !todo.isEmpty();) {
        QAccessibleInterface *item = todo.takeLast();
        for (int i = 0; i < item->childCount(); ++i)
            todo << item->child(i);
        auto *widget = qobject_cast<QWidget *>(item->object());
        // A combo box's line edit is the box's, which has the name.
        if (!widget || !widget->isVisible() || widget == window || qobject_cast<QComboBox *>(widget->parentWidget())
            || !(item->state().focusable || qobject_cast<QLineEdit *>(widget) || qobject_cast<QScrollBar *>(widget)))
            continue;
        if (qobject_cast<QScrollBar *>(widget) && qobject_cast<QAbstractScrollArea *>(widget->parentWidget()
                                                                                         ? widget->parentWidget()->parentWidget()
                                                                                         : nullptr))
            continue; // a box's own scroll bar
        const QString name = item->text(QAccessible::Name);
        const auto *button = qobject_cast<const QAbstractButton *>(widget);
        const bool caption = button && !button->text().isEmpty() && name == QString(button->text()).remove(u'&');
        const QString words = name.section(QStringLiteral(": "), 0, 0);
        const bool stated = words.contains(russian) && !words.contains(latin) && name != shownText(widget);
        QVERIFY2((caption || stated) && !names.contains(name), qPrintable(widget->objectName() + u' ' + name));
        names << name;
    }
}

// Where a frame around the control must leave every pixel as it was, in the
// window's coordinates: the other controls on its client area and the text
// lines of the answers, the matrix and the preview.
inline QRegion otherControls(QWidget *window, QWidget *own)
{
    while (own->parentWidget() != window && own->parentWidget()->objectName() != u"client")
        own = own->parentWidget();
    const QPoint origin = own->parentWidget()->mapTo(window, QPoint(0, 0));
    QRegion others;
    for (QWidget *other : own->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (other == own || !other->isVisible() || other->testAttribute(Qt::WA_TransparentForMouseEvents))
            continue;
        auto *area = qobject_cast<TextArea *>(other);
        others += area ? area->lineBoxes().translated(origin) : QRegion(other->geometry().translated(origin));
    }
    return others;
}

// Gives each control that takes the keyboard the focus in turn: in a band
// around its edge, at least as many pixels as its outline has must change by
// a contrast of 3:1 or more from how they look without the focus, and none
// on another control or text line. The names a screen reader finds first.
inline void checkFocusFrames(QWidget *window)
{
    checkReaderNames(window);
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    for (QWidget *control : window->findChildren<QWidget *>()) {
        if (!control->isVisible() || !control->isEnabled() || !(control->focusPolicy() & Qt::TabFocus)
            || control->focusProxy())
            continue;
        const QRegion others = otherControls(window, control);
        const QRect place(control->mapTo(window, QPoint(0, 0)), control->size());
        const QRect band = place.adjusted(-4, -4, 4, 4).intersected(window->rect());
        control->setFocus(Qt::OtherFocusReason);
        const QPixmap grab = window->grab(band);
        const QImage focused = grab.toImage().convertToFormat(QImage::Format_RGB32);
        control->clearFocus();
        const QImage plain = window->grab(band).toImage().convertToFormat(QImage::Format_RGB32);
        const qreal ratio = grab.devicePixelRatio();
        const QRect inside = place.adjusted(4, 4, -4, -4);
        int changed = 0;
        for (int y = 0; y < focused.height(); ++y) {
            const auto *a = reinterpret_cast<const QRgb *>(focused.constScanLine(y));
            const auto *b = reinterpret_cast<const QRgb *>(plain.constScanLine(y));
            for (int x = 0; x < focused.width(); ++x) {
                const QPoint at = band.topLeft() + QPoint(int(x / ratio), int(y / ratio));
                changed += a[x] != b[x] && !inside.contains(at) && contrast(a[x], b[x]) >= 3;
                QVERIFY2(a[x] == b[x] || place.contains(at) || !others.contains(at),
                         qPrintable(QStringLiteral("%1's frame on another control or text at %2,%3")
                                        .arg(control->objectName()).arg(at.x()).arg(at.y())));
            }
        }
        changed = int(changed / (ratio * ratio));
        QVERIFY2(changed >= 2 * (control->width() + control->height()),
                 qPrintable(QStringLiteral("%1: %2 pixels").arg(control->objectName()).arg(changed)));
    }
}

// Where the answers, the matrix and the preview show text, as far as shown.
inline QList<QRect> textViews(QWidget *window)
{
    QList<QRect> shown;
    for (TextArea *area : window->findChildren<TextArea *>())
        if (area->isVisible() && !area->label()->text().isEmpty())
            shown << QRect(area->viewport()->mapTo(window, QPoint(0, 0)), area->viewport()->size());
    return shown;
}

// Gives each named control the focus in turn: every lit pixel of the
// answers, matrix and preview stays as it is without the focus.
inline void checkRingClearOfText(QWidget *window, const QStringList &names)
{
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    const auto grab = [&](const QRect &r) { return window->grab(r).toImage().convertToFormat(QImage::Format_RGB32); };
    for (const QString &name : names) {
        auto *control = window->findChild<QWidget *>(name);
        QVERIFY(control);
        for (const QRect &view : textViews(window)) {
            control->clearFocus();
            const QImage plain = grab(view);
            control->setFocus(Qt::OtherFocusReason);
            const QImage focused = grab(view);
            for (int y = 0; y < plain.height(); ++y) {
                const auto *a = reinterpret_cast<const QRgb *>(plain.constScanLine(y));
                const auto *b = reinterpret_cast<const QRgb *>(focused.constScanLine(y));
                for (int x = 0; x < plain.width(); ++x)
                    if (a[x] != b[x] && (qGray(a[x]) > 0 || qGreen(a[x]) > 0))
                        QFAIL(qPrintable(QStringLiteral("%1's ring on text at %2,%3")
                                             .arg(name, QString::number(x), QString::number(y))));
            }
        }
    }
}

// Gives each named text (the answers, the matrix) the focus: whatever marks
// it leaves two clear pixels at least around every pixel of its green text,
// so that no mark reads as a digit («0,889» as «10,889»).
inline void checkFocusMarkClearOfText(QWidget *window, const QStringList &names)
{
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    // The road moves on its own between two grabs: out of the way.
    auto *road = window->findChild<RoadAnimator *>();
    QVERIFY(road);
    road->view()->hide();
    const auto showRoad = qScopeGuard([road] { road->view()->show(); });
    for (const QString &name : names) {
        auto *label = window->findChild<QLabel *>(name);
        QVERIFY(label && !label->text().isEmpty());
        auto *area = qobject_cast<TextArea *>(label->parentWidget()->parentWidget());
        QVERIFY(area);
        const QRect text(area->viewport()->mapTo(window, QPoint(0, 0)), area->viewport()->size());
        const QRect band = text.adjusted(-6, -6, 6, 6) & window->rect();
        const auto grab = [&] { return window->grab(band).toImage().convertToFormat(QImage::Format_RGB32); };
        label->clearFocus();
        const QImage plain = grab();
        label->setFocus(Qt::TabFocusReason);
        const QImage focused = grab();
        label->clearFocus();
        const int reach = qCeil(2 * plain.devicePixelRatio());
        const QRect lit = QRect(QPoint(0, 0), text.size() * plain.devicePixelRatio())
                              .translated((text.topLeft() - band.topLeft()) * plain.devicePixelRatio());
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 0; x < plain.width(); ++x) {
                if (plain.pixel(x, y) == focused.pixel(x, y))
                    continue;
                for (int v = std::max(0, y - reach); v <= std::min(plain.height() - 1, y + reach); ++v)
                    for (int u = std::max(0, x - reach); u <= std::min(plain.width() - 1, x + reach); ++u)
                        if (lit.contains(u, v) && qGreen(plain.pixel(u, v)) > 64 && qRed(plain.pixel(u, v)) < 32)
                            QFAIL(qPrintable(QStringLiteral("%1's focus mark at %2,%3 by its text")
                                                 .arg(name).arg(x).arg(y)));
            }
    }
}

// Drives the window's road by hand through the start of a run (two pace
// events, then every step) and checks in a grab of the window after each
// that the text lines of its answers, matrix or preview hold no road: along
// each painted line every pixel is as it is with the road hidden.
inline void checkRoadClearOfText(QWidget *window)
{
    const QList<QRect> shown = textViews(window);
    QRect bound;
    for (const QRect &area : shown)
        bound |= area;
    auto *road = window->findChild<RoadAnimator *>();
    QVERIFY(road && !shown.isEmpty());
    road->view()->hide();
    const QPixmap roadlessGrab = window->grab(bound);
    road->view()->show();
    const QImage roadless = roadlessGrab.toImage().convertToFormat(QImage::Format_RGB32);
    const qreal ratio = roadlessGrab.devicePixelRatio();
    // The text as painted: in each pixel row of an area, from its first lit
    // pixel to its last. That is what must look the same with the road.
    struct Run { int y, left, right; };
    QList<Run> runs;
    for (const QRect &area : shown) {
        // The device pixels whose top left corner lies in the area, as
        // pixels map back at a fractional ratio; none beyond the grab.
        const QRectF exact(QPointF(area.topLeft() - bound.topLeft()) * ratio, QSizeF(area.size()) * ratio);
        const QRect pixels = QRect(QPoint(qCeil(exact.left()), qCeil(exact.top())),
                                   QPoint(qCeil(exact.right()) - 1, qCeil(exact.bottom()) - 1))
                             & roadless.rect();
        for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(roadless.constScanLine(y));
            int left = -1, right = -1;
            for (int x = pixels.left(); x <= pixels.right(); ++x)
                if (qGray(line[x]) > 0 || qGreen(line[x]) > 0)
                    right = x, left = left < 0 ? x : left;
            if (left >= 0)
                runs.append({y, left, right});
        }
    }
    QVERIFY(!runs.isEmpty());
    for (int frame = 0; frame <= 2 + 18; ++frame) {
        if (frame > 0)
            QMetaObject::invokeMethod(frame <= 2 ? road->paceTimer() : road->stepTimer(), "timeout");
        const QImage image = window->grab(bound).toImage().convertToFormat(QImage::Format_RGB32);
        for (const Run &run : runs) {
            const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(run.y));
            const auto *clean = reinterpret_cast<const QRgb *>(roadless.constScanLine(run.y));
            for (int x = run.left; x <= run.right; ++x)
                if (clean[x] != line[x])
                    QFAIL(qPrintable(QStringLiteral("road at %1,%2 in frame %3 of %4")
                                         .arg(QString::number(x), QString::number(run.y),
                                              QString::number(frame), window->objectName())));
        }
    }
    QCOMPARE(road->state().animPos(), 18); // the run went all the way
}

// The first line of a text area's label lies wholly in what the area shows.
inline void checkFirstLineShown(QLabel *label)
{
    auto *area = qobject_cast<TextArea *>(label->parentWidget()->parentWidget());
    QVERIFY(area);
    const QFontMetrics metrics = label->fontMetrics();
    const int m = label->margin();
    const QRect first(label->contentsRect().adjusted(m, m, -m, -m).topLeft(),
                      QSize(metrics.horizontalAdvance(label->text().section(u'\n', 0, 0)), metrics.height()));
    const QRect shown(label->mapFrom(area->viewport(), QPoint(0, 0)), area->viewport()->size());
    QVERIFY2(shown.contains(QRect(first.topLeft(), QSize(1, first.height()))),
             qPrintable(QStringLiteral("%1's first line at %2 of %3..%4").arg(label->objectName()).arg(first.top())
                            .arg(shown.top()).arg(shown.bottom())));
}

// A window sized by its contents, such as the report, lies wholly in the
// screen's available area with every button it shows.
inline void checkOnScreen(QWidget *window)
{
    const QRect screen = window->screen()->availableGeometry();
    QVERIFY(screen.contains(window->frameGeometry()));
    for (const QAbstractButton *button : window->findChildren<QAbstractButton *>())
        if (button->isVisible())
            QVERIFY2(screen.contains(QRect(button->mapToGlobal(QPoint(0, 0)), button->size())),
                     qPrintable(button->text()));
}


} // namespace ravno::test
