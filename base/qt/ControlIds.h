#pragma once
// Every control keeps its numeric id as the "controlId" property, so tests and
// automation address controls by the ids the dialogs have always used.
#include <QWidget>

namespace zorvik {

inline constexpr char kControlIdProperty[] = "controlId";

void SetControlId(QWidget* widget, int id);
// The first descendant of root (or root itself) with that id, or null.
QWidget* FindControl(QWidget* root, int id);

template <typename T> T* FindControlAs(QWidget* root, int id)
{
    return qobject_cast<T*>(FindControl(root, id));
}

// Saves a picture of the widget as <dir>/<name>.png when ZORVIK_SCREENSHOT_DIR is
// set; does nothing otherwise. True when a file was written.
bool SaveScreenshotIfAsked(QWidget* widget, const QString& name);

}  // namespace zorvik
