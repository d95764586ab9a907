// SPDX-License-Identifier: GPL-3.0-or-later
// A label that keeps its painted text as a picture and paints the picture
// again until the text, its size or its look change. For the labels that lie
// over the decorative road: the road repaints them many times a second
// where a dot moves, and laying out a long text anew each time would cost
// far more than the dot.
#pragma once

#include <QLabel>
#include <QPixmap>

class KeptLabel : public QLabel
{
    Q_OBJECT
public:
    explicit KeptLabel(const QString &text, QWidget *parent = nullptr);
    explicit KeptLabel(QWidget *parent = nullptr) : KeptLabel(QString(), parent) {}

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // What the picture depends on besides the font, colours and style.
    struct Shown
    {
        QString text;
        QSize pixels;
        qreal ratio = 0;
        Qt::Alignment alignment;
        int margin = 0;
        int indent = 0;
        bool wordWrap = false;
        Qt::TextFormat format = Qt::AutoText;
        friend bool operator==(const Shown &, const Shown &) = default;
    };
    Shown shownNow() const;
    void takePicture();

    QPixmap m_picture;
    Shown m_pictureShows;
    bool m_painting = false; // QLabel paints into m_picture
    bool m_stale = true;     // the font, colours or style changed
    bool m_retakeQueued = false;
};
