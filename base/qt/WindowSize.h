#pragma once
// The windows keep the size they were designed with: maximising a window, or dragging
// its edge, moves and stretches none of its controls.
#include <QWidget>

namespace zorvik {

// Fixes a window's size once its controls and title are set. A window with a size from
// its template keeps that size, grown where its controls need more or where the title
// bar needs room for the whole title beside the window's icon and buttons; any other
// window keeps the size its layout asks for, following its contents.
void KeepDesignedSize(QWidget* window);

// The width a window needs for its whole title in the title bar.
int TitleBarWidth(const QWidget* window);

}  // namespace zorvik
