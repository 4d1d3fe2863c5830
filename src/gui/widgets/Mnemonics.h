#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

class QMenu;
class QWidget;

namespace veltrio::gui {

// Keyboard mnemonics ("&File"): every item of a menu and every control of a
// dialog page gets a letter of its own. A text keeps a mnemonic it has. The
// letter is, in this order of preference, the first free initial of a word
// (words such as "of" or "a" last), any other letter of the words, any
// other letter or digit at all; a text with no free letter gets none.

// The texts with mnemonics, none of them on a letter of `taken` or on
// another's letter.
QStringList WithMnemonics(const QStringList& texts, const QString& taken = {});
// The mnemonic letter (or digit) of a text in lower case; a null QChar when
// it has none.
QChar MnemonicOf(const QString& text);
// The text as it reads: without its "&" ("&&" is an ampersand).
QString PlainText(const QString& text);

// Every visible item of the menu (submenus by their titles).
void AssignMnemonics(QMenu& menu);
// Every button, group box and label with a buddy on the page, none on a
// letter of `taken` (the dialog's tab titles and buttons).
void AssignMnemonics(QWidget& page, const QString& taken = {});

} // namespace veltrio::gui
