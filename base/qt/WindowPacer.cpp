#include "base/qt/WindowPacer.h"

#include <QEventLoop>
#include <QTimer>

namespace zorvik {

void WindowPacer::Pause(std::uint32_t ms)
{
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(ms), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace zorvik
