#pragma once

#include <QAbstractScrollArea>
#include <memory>
#include <vector>

namespace veltrio {
class TTavContents;
}

namespace veltrio::gui {

// A scrollable view of a document: the layout pass measures every item once
// (format items are replayed so that their font changes apply to what
// follows), painting draws only the items that the viewport shows.
class TDocumentView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TDocumentView(QWidget* parent = nullptr);
    ~TDocumentView() override;

    // Shows the document and lays it out.
    void SetDocument(std::shared_ptr<TTavContents> document);
    const std::shared_ptr<TTavContents>& Document() const { return m_document; }

    // The document's size in pixels from the layout pass.
    int DocumentWidth() const { return m_docWidth; }
    int DocumentHeight() const { return m_docHeight; }
    // The top of each item in document pixels.
    const std::vector<int>& ItemTops() const { return m_tops; }
    // The index of the first item that the viewport shows; -1 when empty.
    int FirstVisibleItem() const;
    int PixelsPerInch() const { return m_ppi; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void LayOut();
    void UpdateScrollBars();

    std::shared_ptr<TTavContents> m_document;
    std::vector<int> m_tops;
    int m_docWidth = 0;
    int m_docHeight = 0;
    int m_ppi = 96;
};

} // namespace veltrio::gui
