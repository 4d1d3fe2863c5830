#include "gui/dialogs/InfoDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace veltrio::gui {

TInfoDlg::TInfoDlg(const QString& caption, const QString& text, int helpContext, QWidget* parent)
    : QDialog(parent), m_helpContext(helpContext) {
    setWindowTitle(caption);
    if (helpContext > 0) {
        setProperty("helpContext", helpContext);
    }
    auto* layout = new QVBoxLayout(this);
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        auto* label = new QLabel(line, this);
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        layout->addWidget(label);
        m_lines.append(label);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    if (helpContext > 0) {
        m_help = buttons->addButton(QDialogButtonBox::Help);
        connect(buttons, &QDialogButtonBox::helpRequested, this,
                [this] { emit HelpRequested(m_helpContext); });
    }
    layout->addSpacing(8);
    layout->addWidget(buttons);
}

QStringList TInfoDlg::Lines() const {
    QStringList lines;
    for (const QLabel* l : m_lines) {
        lines << l->text();
    }
    return lines;
}

} // namespace veltrio::gui
