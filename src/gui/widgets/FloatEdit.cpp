#include "gui/widgets/FloatEdit.h"

#include <QLocale>
#include <QRegularExpressionValidator>
#include <algorithm>

namespace veltrio::gui {

TFloatEdit::TFloatEdit(QWidget* parent) : QLineEdit(parent) {
    setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("^[-+]?[0-9]*([.,][0-9]*)?$")), this));
    SetValue(0.0);
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        double v = 0.0;
        if (Parse(text, v)) {
            m_value = v;
            emit ValueChanged(v);
        }
    });
    connect(this, &QLineEdit::editingFinished, this, &TFloatEdit::Normalise);
}

void TFloatEdit::SetDecimals(int decimals) {
    m_decimals = std::clamp(decimals, 0, 10);
    SetValue(m_value);
}

void TFloatEdit::SetRange(double minimum, double maximum) {
    m_minimum = minimum;
    m_maximum = maximum;
    SetValue(m_value);
}

bool TFloatEdit::Parse(const QString& text, double& value) const {
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || v < m_minimum || v > m_maximum) {
        return false;
    }
    value = v;
    return true;
}

double TFloatEdit::Value() const {
    double v = m_value;
    Parse(text(), v);
    return v;
}

void TFloatEdit::SetValue(double value) {
    m_value = std::clamp(value, m_minimum, m_maximum);
    setText(QLocale::c().toString(m_value, 'f', m_decimals));
}

bool TFloatEdit::HasValidValue() const {
    double v = 0.0;
    return Parse(text(), v);
}

void TFloatEdit::Normalise() {
    SetValue(Value());
}

} // namespace veltrio::gui
