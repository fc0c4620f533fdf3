#include "base/qt/BusyGuard.h"

#include <QMetaObject>

namespace zorvik {

BusyGuard::~BusyGuard()
{
    if (--state_.depth_ > 0 || !state_.closePending_)
        return;
    state_.closePending_ = false;
    if (window_)
        QMetaObject::invokeMethod(window_, "close", Qt::QueuedConnection);
}

}  // namespace zorvik
