#pragma once
// Keeps a window alive while one of its handlers runs a printer exchange: a close
// request that arrives meanwhile (the close box is delivered even while user input
// is held back) is remembered and carried out once the handler has ended.
#include <QPointer>
#include <QWidget>

namespace zorvik {

class BusyState {
public:
    bool Busy() const { return depth_ > 0; }
    // From closeEvent: true when the close must wait; the event is then ignored.
    bool DeferClose()
    {
        if (!Busy())
            return false;
        closePending_ = true;
        return true;
    }

private:
    friend class BusyGuard;
    int depth_ = 0;
    bool closePending_ = false;
};

class BusyGuard {
public:
    BusyGuard(BusyState& state, QWidget* window) : state_(state), window_(window) { ++state_.depth_; }
    ~BusyGuard();
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    BusyState& state_;
    QPointer<QWidget> window_;
};

}  // namespace zorvik
