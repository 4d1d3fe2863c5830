#include "gui/shell/StatusBar.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QStackedWidget>

namespace veltrio::gui {

TTavStatusBar::TTavStatusBar(QWidget* parent)
    : QStatusBar(parent), m_first(new QStackedWidget(this)), m_hint(MakePanel()),
      m_progress(new QProgressBar(this)), m_middle(MakePanel()), m_last(MakePanel()) {
    setSizeGripEnabled(false);
    setFixedHeight(25);
    m_progress->setTextVisible(false);
    QPalette p = m_progress->palette();
    p.setColor(QPalette::Highlight, QColor(0, 0, 128));
    p.setColor(QPalette::Base, p.color(QPalette::Button));
    m_progress->setPalette(p);
    m_first->addWidget(m_hint);
    m_first->addWidget(m_progress);
    m_first->setFixedHeight(19);
    addWidget(m_first, 1);
    addPermanentWidget(m_middle);
    addPermanentWidget(m_last);
    SetLastWidth(m_lastWidth);
    SetMiddleWidth(m_middleWidth);
}

QLabel* TTavStatusBar::MakePanel() {
    auto* label = new QLabel(this);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setFixedHeight(19);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void TTavStatusBar::SetPanelText(int panel, const QString& text) {
    switch (panel) {
    case 1:
        m_hint->setText(text);
        break;
    case 2:
        m_middle->setText(text);
        break;
    case 3:
        m_last->setText(text);
        m_last->setToolTip(text);
        break;
    default:
        break;
    }
}

QString TTavStatusBar::PanelText(int panel) const {
    switch (panel) {
    case 1:
        return m_hint->text();
    case 2:
        return m_middle->text();
    case 3:
        return m_last->text();
    default:
        return {};
    }
}

void TTavStatusBar::SetMiddleWidth(int width) {
    m_middleWidth = width;
    m_middle->setFixedWidth(width);
    if (width > m_lastWidth) {
        SetLastWidth(width);
    }
}

void TTavStatusBar::SetLastWidth(int width) {
    m_lastWidth = width;
    m_last->setFixedWidth(width);
}

void TTavStatusBar::StartProgress(int minimum, int maximum) {
    m_progress->setRange(minimum, std::max(minimum, maximum));
    m_progress->setValue(minimum);
    m_shownPercent = -1;
    m_first->setCurrentWidget(m_progress);
    m_progress->repaint();
}

void TTavStatusBar::StepProgress(int n) {
    if (m_first->currentWidget() != m_progress) {
        return;
    }
    m_progress->setValue(std::min(m_progress->maximum(), m_progress->value() + n));
    const int span = std::max(1, m_progress->maximum() - m_progress->minimum());
    const int percent = (m_progress->value() - m_progress->minimum()) * 100 / span;
    if (percent != m_shownPercent) {
        m_shownPercent = percent;
        // The computation runs on this thread: let the bar repaint, but take
        // no user input until it ends.
        m_progress->repaint();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void TTavStatusBar::EndProgress() {
    m_first->setCurrentWidget(m_hint);
    m_shownPercent = -1;
}

bool TTavStatusBar::ProgressVisible() const {
    return m_first->currentWidget() == m_progress;
}
int TTavStatusBar::ProgressValue() const {
    return m_progress->value();
}
int TTavStatusBar::ProgressMaximum() const {
    return m_progress->maximum();
}

} // namespace veltrio::gui
