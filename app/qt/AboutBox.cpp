#include "app/qt/AboutBox.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/qt/ProgramIcon.h"
#include "resources/MainTexts.h"

namespace zorvik {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8(kAboutCaption));
    setModal(true);
    const QIcon icon = ProgramIcon();
    setWindowIcon(icon);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("aboutIcon"));
    picture->setPixmap(icon.pixmap(48, 48));
    auto* text = new QLabel(QString::fromUtf8(kAboutText), this);
    text->setObjectName(QStringLiteral("aboutText"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(picture, 0, Qt::AlignTop);
    row->addWidget(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace zorvik
