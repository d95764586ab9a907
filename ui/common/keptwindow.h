// SPDX-License-Identifier: GPL-3.0-or-later
// How every secondary window is kept: made on first use, owned by the one
// object that holds its KeptWindow (the main window, the editor or a keeper
// that is their child) and deleted with it, so that nothing outlives the
// main window; asked for again while open, it is raised rather than made
// twice. A window that deletes itself on close (the About window) is then
// simply gone, and the next use makes a new one.
#pragma once

#include <QPointer>

namespace ravno {

template <class Window>
class KeptWindow
{
public:
    KeptWindow() = default;
    KeptWindow(const KeptWindow &) = delete;
    KeptWindow &operator=(const KeptWindow &) = delete;
    ~KeptWindow() { delete m_window.data(); }

    Window *get() const { return m_window.data(); }
    explicit operator bool() const { return !m_window.isNull(); }
    Window *operator->() const { return m_window.data(); }
    bool isOpen() const { return m_window && m_window->isVisible(); }

    // The window, made by `make` (which returns a new one) when there is none.
    template <class Make>
    Window &ensure(Make make)
    {
        if (!m_window)
            m_window = make();
        return *m_window;
    }

    // Gone, so that the next use starts from a new window.
    void reset() { delete m_window.data(); }

    void hide()
    {
        if (m_window)
            m_window->hide();
    }

private:
    QPointer<Window> m_window;
};

} // namespace ravno
