#pragma once

#include <QDoubleSpinBox>

namespace veltrio::gui {

// A spin box for a real number that steps by a fixed increment. It shows "."
// as the decimal separator whatever the locale and also accepts ",".
class TFloatSpinEdit : public QDoubleSpinBox {
    Q_OBJECT
public:
    explicit TFloatSpinEdit(QWidget* parent = nullptr);

    double valueFromText(const QString& text) const override;
    QValidator::State validate(QString& text, int& pos) const override;
};

} // namespace veltrio::gui
