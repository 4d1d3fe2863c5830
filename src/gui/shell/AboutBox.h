#pragma once

#include <QDialog>

namespace veltrio::gui {

// The About box: the product, what it does and its version.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
};

} // namespace veltrio::gui
