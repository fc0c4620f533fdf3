#pragma once
// The modal "About Zorvik" box: the program icon, a short text and OK.
#include <QDialog>

namespace zorvik {

class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);
};

}  // namespace zorvik
