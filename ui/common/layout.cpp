#include "ui/common/layout.h"

#include <QFont>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace ravno {

int twipsToPixels(int twips, const QWidget *widget)
{
    const int dpi = widget ? widget->logicalDpiY() : 96;
    return int(std::lround(double(twips) * dpi / 1440.0));
}

QRect twipsRect(const QWidget *widget, int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left, widget), twipsToPixels(top, widget),
                 twipsToPixels(width, widget), twipsToPixels(height, widget));
}

void placeControl(QWidget *control, const QWidget *window, const Place &place,
                  const QString &toolTip)
{
    control->setGeometry(twipsRect(window, place.left, place.top, place.width, place.height));
    if (!toolTip.isEmpty())
        control->setToolTip(toolTip);
}

void applyWindowLook(QWidget *window)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    window->setFont(font);
    window->setStyleSheet(QStringLiteral(
        "QMainWindow, QDialog { background-color: black; }"
        "#client { background-color: black; }"
        "QPushButton { background-color: rgb(128,128,128); color: black;"
        "  border: 1px outset rgb(192,192,192); padding: 0px; }"
        "QPushButton:pressed { border-style: inset; }"
        "QPushButton:disabled { color: rgb(64,64,64); }"
        "QLineEdit, QPlainTextEdit, QListWidget, QComboBox {"
        "  background-color: black; color: rgb(0,255,0); border: 1px solid rgb(128,128,128); }"
        "QLabel { background: transparent; color: rgb(0,255,0); }"
        "QCheckBox { color: rgb(0,255,0); background-color: rgb(128,128,128); }"));
}

void fixClientArea(QMainWindow *window, QWidget *client, int width, int height)
{
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(twipsToPixels(width, window), twipsToPixels(height, window));
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

void nameByToolTip(QWidget *control)
{
    control->setAccessibleName(control->toolTip());
}

} // namespace ravno
