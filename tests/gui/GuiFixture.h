#pragma once
// Fresh state for every window test: message boxes and file dialogs are scripted
// and recorded instead of shown.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <functional>
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

// Waits until the condition holds, keeping events flowing; false when it still does
// not after limitMs.
inline bool WaitFor(const std::function<bool()>& condition, int limitMs = 30000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > limitMs)
            return false;
        QTest::qWait(2);
    }
    return true;
}

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

// Watches an exchange that should hold the windows: the cursor at each of its pauses,
// where it also queues a click the hold must drop, and at each message it shows,
// which it records into the fixture's messages.
class HoldWatch {
public:
    explicit HoldWatch(std::vector<MessageRecord>& messages) : messages_(messages)
    {
        QtNotifier::SetTestHook([this](const MessageRecord& m) {
            messages_.push_back(m);
            atMessages_.push_back(OverrideCursorShape());
        });
    }
    ~HoldWatch()
    {
        QtNotifier::SetTestHook([&messages = messages_](const MessageRecord& m) { messages.push_back(m); });
    }
    HoldWatch(const HoldWatch&) = delete;
    HoldWatch& operator=(const HoldWatch&) = delete;

    void AtPause(QWidget* clicked)
    {
        atPauses_.push_back(OverrideCursorShape());
        PostClick(clicked);
    }
    // After the exchange: lets the queued clicks come, and checks the cursors.
    void ExpectHeld()
    {
        QTest::qWait(20);
        EXPECT_FALSE(atPauses_.empty());
        EXPECT_EQ(atPauses_, std::vector<Qt::CursorShape>(atPauses_.size(), Qt::WaitCursor));
        EXPECT_EQ(atMessages_, std::vector<Qt::CursorShape>(atMessages_.size(), Qt::ArrowCursor));
        EXPECT_EQ(OverrideCursorShape(), Qt::ArrowCursor);
    }

private:
    std::vector<MessageRecord>& messages_;
    std::vector<Qt::CursorShape> atPauses_;
    std::vector<Qt::CursorShape> atMessages_;
};

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
