#include "gui/browser/DocumentView.h"

#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "documents/BrowseObject.h"
#include "documents/Contents.h"
#include "platform/QtCanvas.h"

namespace veltrio::gui {

namespace {

// Items are drawn 5 pixels in from the top-left corner.
constexpr int Indent = 5;

// Restores the document cursor, which the browser, the printer and the
// exporters share.
class CursorKeeper {
public:
    explicit CursorKeeper(TTavContents& d) : m_doc(d), m_index(d.CursorIndex()) {}
    ~CursorKeeper() {
        if (m_index >= 0) {
            m_doc.SetCursorIndex(m_index);
        }
    }
    CursorKeeper(const CursorKeeper&) = delete;
    CursorKeeper& operator=(const CursorKeeper&) = delete;

private:
    TTavContents& m_doc;
    int m_index;
};

} // namespace

TDocumentView::TDocumentView(QWidget* parent) : QAbstractScrollArea(parent) {
    m_ppi = std::max(logicalDpiY(), 72);
    viewport()->setAutoFillBackground(true);
    QPalette p = viewport()->palette();
    p.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(p);
    setFocusPolicy(Qt::StrongFocus);
}

TDocumentView::~TDocumentView() = default;

void TDocumentView::SetDocument(std::shared_ptr<TTavContents> document) {
    m_document = std::move(document);
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    LayOut();
    UpdateScrollBars();
    viewport()->update();
}

void TDocumentView::LayOut() {
    m_tops.clear();
    m_docWidth = 0;
    m_docHeight = 0;
    if (!m_document) {
        return;
    }
    TTavContents& doc = *m_document;
    CursorKeeper keep(doc);
    QImage scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
    const int dpm = static_cast<int>(m_ppi / 0.0254 + 0.5);
    scratch.setDotsPerMeterX(dpm);
    scratch.setDotsPerMeterY(dpm);
    QPainter painter(&scratch);
    platform::QtCanvas canvas(painter, m_ppi);
    canvas.SetFont(doc.DefaultFont);
    const int barWidth = verticalScrollBar()->sizeHint().width();
    for (std::size_t i = 0; i < doc.Count(); ++i) {
        doc.SetCursorIndex(static_cast<int>(i));
        TTavBrowseObject& item = doc.Item(i);
        m_tops.push_back(m_docHeight);
        m_docWidth = std::max(m_docWidth, item.ScreenWidth(canvas) + barWidth + Indent);
        const int h = item.ScreenHeight(canvas);
        item.CachedHeight = h;
        m_docHeight += h;
        if (item.IsFormat()) {
            item.Draw(0, 0, canvas);
        }
    }
    m_docHeight += horizontalScrollBar()->sizeHint().height() + Indent;
}

void TDocumentView::UpdateScrollBars() {
    const QSize area = viewport()->size();
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    h->setRange(0, std::max(0, m_docWidth - area.width()));
    h->setPageStep(std::max(1, area.width()));
    h->setSingleStep(20);
    v->setRange(0, std::max(0, m_docHeight - area.height()));
    v->setPageStep(std::max(1, area.height()));
    v->setSingleStep(20);
}

int TDocumentView::FirstVisibleItem() const {
    if (m_tops.empty()) {
        return -1;
    }
    const int v = verticalScrollBar()->value();
    // The last item whose top is not below the scroll position.
    auto it = std::upper_bound(m_tops.begin(), m_tops.end(), v);
    return static_cast<int>(std::max<std::ptrdiff_t>(0, (it - m_tops.begin()) - 1));
}

void TDocumentView::paintEvent(QPaintEvent*) {
    if (!m_document || m_document->Empty()) {
        return;
    }
    TTavContents& doc = *m_document;
    CursorKeeper keep(doc);
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing, false);
    platform::QtCanvas canvas(painter, m_ppi);
    canvas.SetFont(doc.DefaultFont);
    const int h = horizontalScrollBar()->value();
    const int v = verticalScrollBar()->value();
    const int first = FirstVisibleItem();
    // Font changes above the visible part still apply to it.
    for (int i = 0; i < first; ++i) {
        TTavBrowseObject& item = doc.Item(static_cast<std::size_t>(i));
        if (item.IsFormat()) {
            doc.SetCursorIndex(i);
            item.Draw(-10000, -10000, canvas);
        }
    }
    const int bottom = viewport()->height();
    for (std::size_t i = static_cast<std::size_t>(first); i < doc.Count(); ++i) {
        const int top = m_tops[i] - v + Indent;
        if (top > bottom) {
            break;
        }
        doc.SetCursorIndex(static_cast<int>(i));
        doc.Item(i).Draw(Indent - h, top, canvas);
    }
}

void TDocumentView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void TDocumentView::keyPressEvent(QKeyEvent* event) {
    QScrollBar* v = verticalScrollBar();
    switch (event->key()) {
    case Qt::Key_Home:
        v->triggerAction(QAbstractSlider::SliderToMinimum);
        return;
    case Qt::Key_End:
        v->triggerAction(QAbstractSlider::SliderToMaximum);
        return;
    case Qt::Key_PageUp:
        v->triggerAction(QAbstractSlider::SliderPageStepSub);
        return;
    case Qt::Key_PageDown:
        v->triggerAction(QAbstractSlider::SliderPageStepAdd);
        return;
    case Qt::Key_Up:
        v->triggerAction(QAbstractSlider::SliderSingleStepSub);
        return;
    case Qt::Key_Down:
        v->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

} // namespace veltrio::gui
