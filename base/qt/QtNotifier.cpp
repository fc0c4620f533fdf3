#include "base/qt/QtNotifier.h"

#include <QApplication>
#include <QMessageBox>

#include "base/qt/ExchangeHold.h"

namespace zorvik {
namespace {

QtNotifier::Hook& TestHook()
{
    static QtNotifier::Hook hook;
    return hook;
}

// The window the box belongs over: a modal window that is up (the user is in it, and
// it may cover the owner), else the owner while it shows, else the active window.
QWidget* BoxParent(QWidget* owner)
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (owner && owner->isVisible())
        return owner->window();
    if (QWidget* active = QApplication::activeWindow())
        return active;
    return owner;
}

}  // namespace

void QtNotifier::SetTestHook(Hook hook)
{
    TestHook() = std::move(hook);
}

void QtNotifier::Show(std::string_view text, std::string_view title, MessageIcon icon)
{
    // A message during a printer exchange takes input and shows the normal cursor.
    const ExchangeHold::Lift answerable;
    if (TestHook()) {
        TestHook()(MessageRecord{std::string(text), std::string(title), icon});
        return;
    }
    QMessageBox::Icon qtIcon = QMessageBox::Information;
    if (icon == MessageIcon::Exclamation)
        qtIcon = QMessageBox::Warning;
    else if (icon == MessageIcon::Error)
        qtIcon = QMessageBox::Critical;
    QMessageBox box(qtIcon, QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())),
                    QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), QMessageBox::Ok,
                    BoxParent(owner_.data()));
    box.exec();
}

}  // namespace zorvik
