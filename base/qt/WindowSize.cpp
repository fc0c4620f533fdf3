#include "base/qt/WindowSize.h"

#include <QFontMetrics>
#include <QLayout>

namespace zorvik {

int TitleBarWidth(const QWidget* window)
{
    // Title bars show the title in a bold face, often a size larger than the window's
    // text; the icon and up to three buttons beside it take about two lines' height each.
    QFont font = window->font();
    font.setBold(true);
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(window->windowTitle()) * 6 / 5 + 8 * metrics.height();
}

void KeepDesignedSize(QWidget* window)
{
    if (!window->testAttribute(Qt::WA_Resized)) {
        if (QLayout* layout = window->layout())
            layout->setSizeConstraint(QLayout::SetFixedSize);
        return;
    }
    QSize size = window->size().expandedTo(window->minimumSizeHint());
    size.setWidth(std::max(size.width(), TitleBarWidth(window)));
    window->setFixedSize(size);
}

}  // namespace zorvik
