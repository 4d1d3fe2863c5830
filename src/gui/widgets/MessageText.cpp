#include "gui/widgets/MessageText.h"

namespace veltrio::gui {

QString SentencesApart(const QString& message) {
    QString text;
    for (qsizetype i = 0; i < message.size(); ++i) {
        if (i > 0 && i + 1 < message.size() && message.at(i - 1).isLetter() &&
            message.at(i).isUpper() && message.at(i + 1).isLower()) {
            text += QLatin1Char('\n');
        }
        text += message.at(i);
    }
    return text;
}

} // namespace veltrio::gui
