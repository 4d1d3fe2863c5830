#include "gui/shell/EditorForm.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include "base/AtomicFile.h"
#include "base/TextUtil.h"
#include "gui/widgets/ScreenPlacement.h"
#include "gui/widgets/UserInterface.h"

namespace veltrio::gui {

TEditorForm::TEditorForm(QWidget* parent)
    : QDialog(parent), m_editor(new QPlainTextEdit(this)),
      m_save(new QPushButton(tr("Save"), this)) {
    setWindowTitle(QStringLiteral("Editor"));
    setProperty("helpContext", HelpContextId);
    PlaceMaximized(*this);
    setSizeGripEnabled(true);
    m_editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_editor->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* cancel = new QPushButton(tr("Cancel"), this);
    auto* help = new QPushButton(tr("Help"), this);
    m_save->setDefault(false);
    m_save->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(15);
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 15, 20);
    layout->addWidget(m_editor, 1);
    layout->addSpacing(12);
    layout->addLayout(buttons);

    connect(m_save, &QPushButton::clicked, this, [this] {
        if (SaveFile()) {
            accept();
        }
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { emit HelpRequested(HelpContextId); });
}

bool TEditorForm::LoadFile(const QString& fileName) {
    m_fileName = fileName;
    std::string bytes;
    if (!ReadWholeFile(std::filesystem::path(fileName.toStdU16String()), bytes)) {
        m_save->setEnabled(false);
        TUserInterface::Current().Message(
            this, windowTitle(), QString::fromLatin1(ReadErrorMessage), QMessageBox::Critical);
        return false;
    }
    m_save->setEnabled(true);
    m_utf8 = IsValidUtf8(bytes) && !IsAscii(bytes);
    m_crlf = bytes.find("\r\n") != std::string::npos || bytes.find('\n') == std::string::npos;
    const std::string text = m_utf8 ? bytes : OemToAnsiText(bytes);
    QString q = QString::fromStdString(text);
    q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_editor->setPlainText(q);
    return true;
}

bool TEditorForm::SaveFile() {
    QString text = m_editor->toPlainText();
    if (m_crlf) {
        text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    }
    const std::string utf8 = text.toStdString();
    std::string bytes = utf8;
    if (!m_utf8) {
        bool lossless = true;
        bytes = AnsiToOemText(utf8, &lossless);
        if (!lossless &&
            !TUserInterface::Current().YesNo(
                this, windowTitle(),
                tr("Some characters cannot be written in the file's character set and will be "
                   "saved as \"?\". Save anyway?"))) {
            return false;
        }
    }
    std::string error;
    if (!WriteFileAtomically(std::filesystem::path(m_fileName.toStdU16String()), bytes, &error)) {
        TUserInterface::Current().Message(
            this, windowTitle(),
            tr("The file could not be saved; it was left as it was.\n%1")
                .arg(QString::fromStdString(error)),
            QMessageBox::Critical);
        return false;
    }
    return true;
}

} // namespace veltrio::gui
