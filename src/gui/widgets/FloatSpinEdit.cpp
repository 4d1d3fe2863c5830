#include "gui/widgets/FloatSpinEdit.h"

#include <QLocale>

namespace veltrio::gui {

TFloatSpinEdit::TFloatSpinEdit(QWidget* parent) : QDoubleSpinBox(parent) {
    setLocale(QLocale::c());
    setDecimals(1);
    setSingleStep(0.1);
    setKeyboardTracking(false);
}

double TFloatSpinEdit::valueFromText(const QString& text) const {
    QString t = text;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    return QDoubleSpinBox::valueFromText(t);
}

QValidator::State TFloatSpinEdit::validate(QString& text, int& pos) const {
    QString t = text;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    return QDoubleSpinBox::validate(t, pos);
}

} // namespace veltrio::gui
