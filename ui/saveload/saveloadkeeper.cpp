// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/saveload/saveloadkeeper.h"

#include "ui/saveload/form3.h"

#include "ui/common/keptwindow.h"
#include "ui/common/layout.h"
#include "ui/editor/form2.h"

#include <QEvent>
#include <QLineEdit>

namespace ravno {

namespace {

// Keeps the one save/load window of an editor; lives as the editor's child.
class SaveLoadKeeper : public QObject
{
    Q_OBJECT
public:
    SaveLoadKeeper(Form2 &editor, AppContext &context)
        : QObject(&editor), m_editor(editor), m_context(context)
    {
        m_editor.installEventFilter(this);
    }
    void open()
    {
        if (m_window.isOpen()) {
            showActive(m_window.get());
            return;
        }
        // A window hidden with the editor is not reused: every showing starts
        // from the initial state.
        m_window.reset();
        Form3 &window = m_window.ensure([this] {
            auto *made = new Form3(m_context, m_editor);
            // Placed again once the window manager has framed it: its frame
            // may be larger than the editor's, taken until then.
            refitWhenFramed(made, [this, made] {
                made->fitToScreen(m_editor.frameGeometry().height() - m_editor.geometry().height());
                place();
            });
            return made;
        });
        window.show();
        place();
        showActive(&window);
    }

    void hide() { m_window.hide(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // The editor grows with a wide system, a loaded one among them, and
        // may move to stay on the screen: a save/load window it now reaches
        // moves aside again.
        const bool moved = event->type() == QEvent::Resize || event->type() == QEvent::Move;
        if (watched == &m_editor && moved && m_window.isOpen()
            && m_window->frameGeometry().intersects(m_editor.frameGeometry()))
            place();
        return QObject::eventFilter(watched, event);
    }

private:
    // Beside the editor, never over its menu bar or its contents box.
    void place()
    {
        QRect keepClear = m_editor.frameGeometry();
        if (const auto *contents = m_editor.findChild<QLineEdit *>(QStringLiteral("Text1")))
            keepClear.setBottom(contents->mapToGlobal(contents->rect().bottomLeft()).y());
        placeBeside(m_window.get(), &m_editor, keepClear);
    }

    Form2 &m_editor;
    AppContext &m_context;
    KeptWindow<Form3> m_window;
};

} // namespace

void attachSaveLoadWindow(Form2 &editor, AppContext &context)
{
    auto *keeper = new SaveLoadKeeper(editor, context);
    editor.setSaveLoadOpener([keeper] { keeper->open(); });
    editor.setSaveLoadHider([keeper] { keeper->hide(); });
}

} // namespace ravno

#include "saveloadkeeper.moc"
