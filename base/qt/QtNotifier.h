#pragma once
// Message boxes with an OK button, centred over the window the user is in. Tests
// install a hook that records each message instead of showing it (as if OK had been
// pressed at once).
#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>

#include "base/Notifier.h"

namespace zorvik {

struct MessageRecord {
    std::string text;
    std::string title;
    MessageIcon icon;
    bool operator==(const MessageRecord&) const = default;
};

class QtNotifier final : public Notifier {
public:
    explicit QtNotifier(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }
    void Show(std::string_view text, std::string_view title, MessageIcon icon) override;

    using Hook = std::function<void(const MessageRecord&)>;
    // Replaces every message box of the process while set; an empty hook restores them.
    static void SetTestHook(Hook hook);

private:
    QPointer<QWidget> owner_;
};

}  // namespace zorvik
