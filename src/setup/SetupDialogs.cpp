#include "setup/SetupDialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <chrono>
#include <cstdio>
#include <future>

// The resources of a static library are registered by hand.
static void InitSetupResources() { Q_INIT_RESOURCE(setup); }

namespace veltrio::setup {

QIcon SetupIcon() {
    static const bool once = (InitSetupResources(), true);
    (void)once;
    return QIcon(QStringLiteral(":/setup/setup.svg"));
}

namespace {

QString PlainText(const std::string& crlf) {
    QString s = QString::fromStdString(crlf);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

// Dialog units of the dialog's font: a quarter of the average character
// width across, an eighth of the line height down.
struct DialogUnits {
    double X;
    double Y;
    explicit DialogUnits(const QFont& f) {
        const QFontMetrics m(f);
        X = m.averageCharWidth() / 4.0;
        Y = m.height() / 8.0;
    }
    QRect Rect(int x, int y, int w, int h) const {
        return QRect(qRound(x * X), qRound(y * Y), qRound(w * X), qRound(h * Y));
    }
};

} // namespace

TSetupDialog::TSetupDialog(int page, const QIcon& icon, QWidget* parent) : QDialog(parent) {
    const TSetupPage& p = Pages().at(static_cast<std::size_t>(page));
    setWindowTitle(QString::fromLatin1(Title));
    setWindowIcon(icon);
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // The pages are laid out in dialog units of an 8-point font.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    const DialogUnits du(font());
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setPlainText(PlainText(p.Body));
    m_text->setObjectName(QStringLiteral("text1003"));
    m_ok = new QPushButton(QString::fromStdString(p.Button), this);
    m_ok->setDefault(true);
    m_ok->setAutoDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    if (p.Kind == TPageKind::License) {
        m_text->setGeometry(du.Rect(0, 0, 274, 110));
        m_ok->setGeometry(du.Rect(60, 114, 40, 14));
        m_cancel = new QPushButton(tr("Cancel"), this);
        m_cancel->setGeometry(du.Rect(170, 114, 40, 14));
        connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
        setFixedSize(du.Rect(0, 0, 274, 130).size());
    } else {
        m_text->setGeometry(du.Rect(0, 0, 150, 36));
        // Centred lines, as the finishing note is set.
        m_text->document()->setDefaultTextOption(QTextOption(Qt::AlignHCenter));
        m_text->setPlainText(PlainText(p.Body));
        m_ok->setGeometry(du.Rect(56, 40, 40, 14));
        setFixedSize(du.Rect(0, 0, 150, 56).size());
    }
    m_ok->setFocus();
}

TGuiSetupUi::TGuiSetupUi() : m_icon(SetupIcon()) {
    QApplication::setWindowIcon(m_icon);
}

bool TGuiSetupUi::ShowPage(int index) {
    TSetupDialog dlg(index, m_icon);
    return dlg.exec() == QDialog::Accepted;
}

TScriptResult TGuiSetupUi::Install(const std::function<TScriptResult()>& run) {
    // The script runs beside the event loop, so that the window stays drawn;
    // nothing can be pressed until it has ended.
    QProgressDialog busy(QStringLiteral("Installing Surnel32 ..."), QString(), 0, 0);
    busy.setWindowTitle(QString::fromLatin1(Title));
    busy.setWindowIcon(m_icon);
    busy.setWindowModality(Qt::ApplicationModal);
    busy.setCancelButton(nullptr);
    busy.setMinimumDuration(300);
    auto result = std::async(std::launch::async, run);
    while (result.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return result.get();
}

void TGuiSetupUi::ShowError(const std::string& message) {
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(Title), PlainText(message),
                    QMessageBox::Ok);
    box.setWindowIcon(m_icon);
    box.exec();
}

bool TConsoleSetupUi::ShowPage(int index) {
    const TSetupPage& p = Pages().at(static_cast<std::size_t>(index));
    std::string body = p.Body;
    for (std::size_t i; (i = body.find("\r\n")) != std::string::npos;) {
        body.replace(i, 2, "\n");
    }
    std::printf("%s\n\n%s\n  [%s] (accepted by --yes)\n\n", Title, body.c_str(), p.Button.c_str());
    std::fflush(stdout);
    return true;
}

void TConsoleSetupUi::ShowError(const std::string& message) {
    std::string m = message;
    for (std::size_t i; (i = m.find("\r\n")) != std::string::npos;) {
        m.replace(i, 2, "\n");
    }
    std::fprintf(stderr, "setup: %s\n", m.c_str());
}

} // namespace veltrio::setup
