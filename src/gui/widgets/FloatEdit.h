#pragma once

#include <QLineEdit>

namespace veltrio::gui {

// An edit box for a real number with a fixed number of decimals. It accepts
// "." or "," as the decimal separator and always shows ".", whatever the
// locale.
class TFloatEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TFloatEdit(QWidget* parent = nullptr);

    void SetDecimals(int decimals);
    int Decimals() const { return m_decimals; }
    void SetRange(double minimum, double maximum);

    // The value shown; the last valid value while the text does not convert.
    double Value() const;
    void SetValue(double value);
    // Whether the text converts to a number within the range.
    bool HasValidValue() const;

signals:
    void ValueChanged(double value);

private:
    bool Parse(const QString& text, double& value) const;
    void Normalise();

    int m_decimals = 1;
    double m_minimum = -1e12;
    double m_maximum = 1e12;
    double m_value = 0.0;
};

} // namespace veltrio::gui
