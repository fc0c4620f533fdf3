#include "base/qt/ControlIds.h"

#include <QDir>
#include <QPixmap>
#include <QVariant>

namespace zorvik {

void SetControlId(QWidget* widget, int id)
{
    widget->setProperty(kControlIdProperty, id);
}

QWidget* FindControl(QWidget* root, int id)
{
    if (!root)
        return nullptr;
    if (root->property(kControlIdProperty).toInt() == id && root->property(kControlIdProperty).isValid())
        return root;
    const auto children = root->findChildren<QWidget*>();
    for (QWidget* child : children) {
        const QVariant value = child->property(kControlIdProperty);
        if (value.isValid() && value.toInt() == id)
            return child;
    }
    return nullptr;
}

bool SaveScreenshotIfAsked(QWidget* widget, const QString& name)
{
    const QString dir = qEnvironmentVariable("ZORVIK_SCREENSHOT_DIR");
    if (dir.isEmpty() || !widget)
        return false;
    QDir().mkpath(dir);
    return widget->grab().save(QDir(dir).filePath(name + ".png"));
}

}  // namespace zorvik
