// SPDX-License-Identifier: GPL-3.0-or-later
// A window's controls as a table, one row a control: its object name (what
// tests and screen readers know it by), its place in twips, its caption or
// first text, and its tool tip. Every window keeps such a table beside its
// buildControls() and makes each control from its row, so that the places
// and words of a window stand in one place.
#pragma once

#include "ui/common/layout.h"

#include <QPushButton>
#include <QString>
#include <QWidget>

#include <span>
#include <type_traits>
#include <utility>

namespace ravno {

struct ControlRow
{
    const char *name;
    Place place;
    const char *caption = ""; // UTF-8; none where empty
    const char *toolTip = ""; // UTF-8; none where empty
};

// Names and places a made control from its row, with its tool tip.
void placeControl(QWidget *control, const ControlRow &row);

// A control of the given type on the client area: constructed from args
// and the client, then given the row's caption (where it shows text), name,
// place and tool tip.
template<typename Control, typename... Args>
Control *makeControl(QWidget *client, const ControlRow &row, Args &&...args)
{
    auto *control = new Control(std::forward<Args>(args)..., client);
    if constexpr (requires { control->setText(QString()); }) {
        if (*row.caption)
            control->setText(QString::fromUtf8(row.caption));
    }
    // Return presses a button that has the keyboard, as Space does; outside
    // dialogs Qt's buttons answer Return only when they are auto-default.
    if constexpr (std::is_base_of_v<QPushButton, Control>)
        control->setAutoDefault(true);
    placeControl(control, row);
    return control;
}

// The rows of one window and the client area its controls lie on.
class ControlTable
{
public:
    ControlTable(QWidget *client, std::span<const ControlRow> rows) : m_client(client), m_rows(rows) {}

    // The control of the row of that name; a name the table lacks is a
    // fault of the window's code and ends the program at once.
    template<typename Control, typename... Args>
    Control *make(const char *name, Args &&...args) const
    {
        return makeControl<Control>(m_client, row(name), std::forward<Args>(args)...);
    }

    const ControlRow &row(const char *name) const;

private:
    QWidget *m_client;
    std::span<const ControlRow> m_rows;
};

} // namespace ravno
