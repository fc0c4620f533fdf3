#pragma once
// Fresh state for every window test: message boxes and file dialogs are scripted
// and recorded instead of shown.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QWidget>
#include <vector>

#include "base/qt/QtFileChooser.h"
#include "base/qt/QtNotifier.h"

namespace zorvik {

inline void PrintTo(const MessageRecord& m, std::ostream* os)
{
    *os << '"' << m.text << "\" / \"" << m.title << "\" / icon " << static_cast<int>(m.icon);
}

}  // namespace zorvik

namespace zorvik::test {

// Queues a left click on the middle of the widget, as the window system delivers a
// click the user made while the program was busy: it reaches the widget only when
// events are next processed.
inline void PostClick(QWidget* target)
{
    const QPointF at = QRectF(target->rect()).center();
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QCoreApplication::postEvent(
            target, new QMouseEvent(type, at, target->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier));
    }
}

// The shape of the cursor the program sets over all its windows; ArrowCursor when none.
inline Qt::CursorShape OverrideCursorShape()
{
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor ? cursor->shape() : Qt::ArrowCursor;
}

class GuiFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        QtNotifier::SetTestHook([this](const MessageRecord& m) { messages.push_back(m); });
        QtFileChooser::SetTestScript(&files);
    }
    void TearDown() override
    {
        QtNotifier::SetTestHook({});
        QtFileChooser::SetTestScript(nullptr);
    }

    std::vector<MessageRecord> messages;
    QtFileChooser::Script files;
};

}  // namespace zorvik::test
