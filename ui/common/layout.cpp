// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/layout.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <utility>
#include <cmath>

namespace ravno {

QPointF twipsToPixels(const QWidget *widget, qreal x, qreal y)
{
    const int dpiX = widget ? widget->logicalDpiX() : 96;
    const int dpiY = widget ? widget->logicalDpiY() : 96;
    return QPointF(x * dpiX / 1440.0, y * dpiY / 1440.0);
}

QSize twipsSize(const QWidget *widget, int width, int height)
{
    const QPointF size = twipsToPixels(widget, width, height);
    return QSize(int(std::lround(size.x())), int(std::lround(size.y())));
}

QRect twipsRect(const QWidget *widget, int left, int top, int width, int height)
{
    const QSize corner = twipsSize(widget, left, top);
    return QRect(QPoint(corner.width(), corner.height()), twipsSize(widget, width, height));
}

QStringList uiFontFamilies()
{
    // MS Sans Serif where it exists, else faces of about its width, so the
    // captions fit their buttons. Only installed faces are named: the font
    // matcher would otherwise stand a wide face in for the first name.
    static const QStringList wanted{QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                                    QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                    QStringLiteral("Nimbus Sans")};
    QStringList present;
    const QStringList installed = QFontDatabase::families();
    for (const QString &family : wanted)
        if (installed.contains(family, Qt::CaseInsensitive))
            present << family;
    return present.isEmpty() ? QStringList{QStringLiteral("Sans Serif")} : present;
}

QFont uiFont(qreal pointSize, bool bold)
{
    QFont font;
    font.setFamilies(uiFontFamilies());
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    if (bold)
        font.setBold(true);
    return font;
}

void applyWindowLook(QWidget *window)
{
    window->setFont(uiFont());
    // Under a style sheet fonts do not pass from a window to its controls,
    // so the sheet names the face too.
    window->setStyleSheet(QStringLiteral(
        "QWidget { font-family: \"%1\"; font-size: 8.25pt; }"
        "QMainWindow, QDialog { background-color: black; }"
        "#client { background-color: black; }"
        // The menu title the keyboard is on (after a bare Alt, F10 or a
        // mnemonic) in the focus ring's yellow, as the controls' focus is.
        "QMenuBar::item:selected { background-color: rgb(255,255,0); color: black; }"
        "QPushButton { background-color: rgb(128,128,128); color: black;"
        "  border: 1px outset rgb(192,192,192); padding: 0px; }"
        "QPushButton:pressed { border-style: inset; }"
        "QPushButton:disabled { color: rgb(64,64,64); }"
        "QLineEdit, QPlainTextEdit, QListWidget, QComboBox {"
        "  background-color: black; color: rgb(0,255,0); border: 1px solid rgb(128,128,128); }"
        // Only the windows' own labels: a control's tool tip is a label too,
        // and keeps the standard look.
        ".QLabel { background: transparent; color: rgb(0,255,0); }"
        "KeptLabel { color: rgb(0,255,0); }"
        "QCheckBox { color: rgb(0,255,0); background-color: rgb(128,128,128); }")
                              .arg(uiFontFamilies().constFirst()));
}

void fixClientArea(QMainWindow *window, QWidget *client, int width, int height)
{
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(twipsSize(window, width, height));
    window->setCentralWidget(client);
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                           | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    const int menuHeight = window->menuBar() ? window->menuBar()->sizeHint().height() : 0;
    window->setFixedSize(client->width(), client->height() + menuHeight);
}

void centreOnScreen(QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

QPoint besideFrame(const QRect &other, const QSize &frame, const QRect &keepClear,
                   const QRect &available)
{
    const auto fitted = [&](int x, int y) {
        x = std::clamp(x, available.left(), std::max(available.left(), available.right() + 1 - frame.width()));
        y = std::clamp(y, available.top(), std::max(available.top(), available.bottom() + 1 - frame.height()));
        return QRect(QPoint(x, y), frame);
    };
    if (other.right() + frame.width() <= available.right())
        return fitted(other.right() + 1, other.top()).topLeft();
    if (other.left() - frame.width() >= available.left())
        return fitted(other.left() - frame.width(), other.top()).topLeft();

    // No room on either side: the place on the screen that covers least of
    // the other window, above all of its menu bar and contents box. A small
    // screen may leave no place clear of them; the least of them is covered
    // then, never the whole window.
    const auto area = [](const QRect &r) { return r.isEmpty() ? 0 : qint64(r.width()) * r.height(); };
    QRect best;
    std::pair<qint64, qint64> bestCover{-1, -1};
    for (const int x : {available.left(), available.right() + 1 - frame.width(), other.left(),
                        other.left() - frame.width(), other.right() + 1}) {
        for (const int y : {available.top(), other.top(), keepClear.bottom() + 1, other.bottom() + 1,
                            other.top() - frame.height(), available.bottom() + 1 - frame.height()}) {
            const QRect place = fitted(x, y);
            const std::pair cover{area(place & keepClear), area(place & other)};
            if (bestCover.first < 0 || cover < bestCover) {
                best = place;
                bestCover = cover;
            }
        }
    }
    return best.topLeft();
}

void placeBeside(QWidget *window, const QWidget *other, const QRect &keepClear)
{
    const QScreen *screen = other->screen() ? other->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Until the window manager has framed the window, its frame is taken to
    // be as wide as the other window's.
    QMargins frameMargins(window->geometry().left() - window->frameGeometry().left(),
                          window->geometry().top() - window->frameGeometry().top(),
                          window->frameGeometry().right() - window->geometry().right(),
                          window->frameGeometry().bottom() - window->geometry().bottom());
    const bool framed = !frameMargins.isNull();
    if (!framed)
        frameMargins = QMargins(other->geometry().left() - other->frameGeometry().left(),
                                other->geometry().top() - other->frameGeometry().top(),
                                other->frameGeometry().right() - other->geometry().right(),
                                other->frameGeometry().bottom() - other->geometry().bottom());
    const QSize frame = window->size().grownBy(frameMargins);
    const QPoint topLeft = besideFrame(other->frameGeometry(), frame, keepClear, screen->availableGeometry());
    // A window not yet framed is placed by its client area, which the window
    // manager keeps where it is when it adds the frame around it.
    if (framed)
        window->move(topLeft);
    else
        window->setGeometry(QRect(topLeft + QPoint(frameMargins.left(), frameMargins.top()), window->size()));
}

void showActive(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

void endProgram()
{
    QCoreApplication::exit(0);
}

namespace {

// Fits the window again once the window manager has framed it, or framed
// it anew: its frame decides how much of the screen is left.
class FrameWatch : public QObject
{
public:
    FrameWatch(QWidget *window, std::function<void()> fit) : QObject(window), m_fit(std::move(fit))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = static_cast<QWidget *>(watched);
        if (event->type() == QEvent::Move || event->type() == QEvent::Show) {
            const QSize frame = window->frameGeometry().size() - window->geometry().size();
            if (frame != m_frame) {
                m_frame = frame;
                m_fit();
            }
        }
        return false;
    }

private:
    std::function<void()> m_fit;
    QSize m_frame{-1, -1};
};

} // namespace

void refitWhenFramed(QWidget *window, std::function<void()> fit)
{
    new FrameWatch(window, std::move(fit));
}

} // namespace ravno
