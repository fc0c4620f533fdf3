#include "base/qt/QtNotifier.h"

#include <QMessageBox>

#include "base/qt/ExchangeHold.h"

namespace zorvik {
namespace {

QtNotifier::Hook& TestHook()
{
    static QtNotifier::Hook hook;
    return hook;
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
                    owner_.data());
    box.exec();
}

}  // namespace zorvik
