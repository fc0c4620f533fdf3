#include "base/qt/ExchangeHold.h"

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <memory>
#include <vector>

namespace zorvik {
namespace {

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

class InputDropper final : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        return IsUserInput(event->type()) || QObject::eventFilter(watched, event);
    }
};

struct HoldState {
    int depth = 0;                          // holds made and not yet ended
    std::vector<int> liftedDepths;          // the depth at each lift still up
    std::unique_ptr<InputDropper> dropper;  // installed, and the cursor set, while held
};

HoldState& State()
{
    static HoldState state;
    return state;
}

bool Wanted()
{
    const HoldState& s = State();
    return s.depth > (s.liftedDepths.empty() ? 0 : s.liftedDepths.back());
}

// Delivers what is waiting, user input included, while the filter still drops it:
// input held back by the pacer's pauses, or queued while the exchange blocked.
void DropPendingInput()
{
    if (State().dropper)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void Apply()
{
    HoldState& s = State();
    const bool wanted = Wanted() && qApp;
    if (wanted == (s.dropper != nullptr))
        return;
    if (wanted) {
        s.dropper = std::make_unique<InputDropper>();
        qApp->installEventFilter(s.dropper.get());
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        qApp->removeEventFilter(s.dropper.get());
        s.dropper.reset();
        QApplication::restoreOverrideCursor();
    }
}

}  // namespace

ExchangeHold::ExchangeHold()
{
    ++State().depth;
    Apply();
}

ExchangeHold::~ExchangeHold()
{
    HoldState& s = State();
    // The last hold drops what came in before letting input through again.
    if (s.dropper && s.depth - 1 <= (s.liftedDepths.empty() ? 0 : s.liftedDepths.back()))
        DropPendingInput();
    --s.depth;
    Apply();
}

bool ExchangeHold::Holding()
{
    return State().dropper != nullptr;
}

ExchangeHold::Lift::Lift()
{
    DropPendingInput();
    State().liftedDepths.push_back(State().depth);
    Apply();
}

ExchangeHold::Lift::~Lift()
{
    State().liftedDepths.pop_back();
    Apply();
}

}  // namespace zorvik
