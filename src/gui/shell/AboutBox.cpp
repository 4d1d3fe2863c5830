#include "gui/shell/AboutBox.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace veltrio::gui {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("About"));
    auto* product = new QLabel(QStringLiteral("VELTRIO"), this);
    QFont f = product->font();
    f.setPointSize(f.pointSize() + 8);
    f.setBold(true);
    product->setFont(f);
    auto* text =
        new QLabel(QStringLiteral("Program for data processing of proficiency testings."), this);
    auto* version = new QLabel(
        tr("Version %1, built with Qt %2").arg(QApplication::applicationVersion(), qVersion()),
        this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(product, 0, Qt::AlignHCenter);
    layout->addWidget(text, 0, Qt::AlignHCenter);
    layout->addWidget(version, 0, Qt::AlignHCenter);
    layout->addSpacing(12);
    layout->addWidget(buttons);
}

} // namespace veltrio::gui
