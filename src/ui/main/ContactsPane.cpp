#include "ui/main/ContactsPane.h"

#include "ui/main/Pictures.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {
const QColor EmptyPhoneBookGrey(149, 149, 149);
} // namespace

TContactsPane::TContactsPane(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("ContactsArea"));
    setAutoFillBackground(true);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, EmptyPhoneBookGrey);
    setPalette(grey);
    auto* layout = new QVBoxLayout(this);
    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("ImgTarvo"));
    logo->setPixmap(Pictures::Logo());
    logo->setAlignment(Qt::AlignCenter);
    layout->addWidget(logo);
}
