#pragma once

#include <QStatusBar>

class QLabel;
class QProgressBar;
class QStackedWidget;

namespace veltrio::gui {

// The status bar of the main window: panel 1 (hints, or the progress bar of a
// long computation) fills the width; panels 2 and 3 stand at the right, panel
// 3 outermost.
class TTavStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit TTavStatusBar(QWidget* parent = nullptr);

    void SetPanelText(int panel, const QString& text);
    QString PanelText(int panel) const;

    int MiddleWidth() const { return m_middleWidth; }
    int LastWidth() const { return m_lastWidth; }
    // A middle panel wider than the last one widens the last one too.
    void SetMiddleWidth(int width);
    void SetLastWidth(int width);

    // The progress bar of panel 1, from 0 to `maximum`.
    void StartProgress(int minimum, int maximum);
    void StepProgress(int n = 1);
    void EndProgress();
    bool ProgressVisible() const;
    int ProgressValue() const;
    int ProgressMaximum() const;

private:
    QLabel* MakePanel();

    QStackedWidget* m_first;
    QLabel* m_hint;
    QProgressBar* m_progress;
    QLabel* m_middle;
    QLabel* m_last;
    int m_middleWidth = 40;
    int m_lastWidth = 40;
    int m_shownPercent = -1;
};

} // namespace veltrio::gui
