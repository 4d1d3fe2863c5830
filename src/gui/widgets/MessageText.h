#pragma once

#include <QString>

namespace veltrio::gui {

// Some of the program's fixed messages run their sentences together
// ("...unable to run systemPlease check the manual..."). A line break goes
// where a word runs straight into the capital of the next sentence: before
// a capital letter that follows a letter and is followed by a small one.
QString SentencesApart(const QString& message);

} // namespace veltrio::gui
