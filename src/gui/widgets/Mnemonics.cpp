#include "gui/widgets/Mnemonics.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QSet>
#include <functional>
#include <vector>

namespace veltrio::gui {

namespace {

// Words whose initial makes a poor mnemonic.
bool IsMinorWord(const QString& word) {
    static const QSet<QString> minor = {
        QStringLiteral("a"),   QStringLiteral("an"), QStringLiteral("and"), QStringLiteral("as"),
        QStringLiteral("at"),  QStringLiteral("by"), QStringLiteral("for"), QStringLiteral("in"),
        QStringLiteral("of"),  QStringLiteral("on"), QStringLiteral("or"),  QStringLiteral("s"),
        QStringLiteral("the"), QStringLiteral("to"), QStringLiteral("vs"),
    };
    return minor.contains(word.toLower());
}

// The positions in `text` where a mnemonic may stand, best first.
std::vector<qsizetype> Candidates(const QString& text) {
    std::vector<qsizetype> majorInitials, minorInitials, wordLetters, others;
    qsizetype i = 0;
    while (i < text.size()) {
        if (!text.at(i).isLetter()) {
            if (text.at(i).isDigit()) {
                others.push_back(i);
            }
            ++i;
            continue;
        }
        const qsizetype start = i;
        while (i < text.size() && text.at(i).isLetter()) {
            ++i;
        }
        const QString word = text.mid(start, i - start);
        (IsMinorWord(word) ? minorInitials : majorInitials).push_back(start);
        for (qsizetype k = start + 1; k < i; ++k) {
            (IsMinorWord(word) ? others : wordLetters).push_back(k);
        }
    }
    std::vector<qsizetype> all;
    for (const auto* list : {&majorInitials, &wordLetters, &minorInitials, &others}) {
        all.insert(all.end(), list->begin(), list->end());
    }
    return all;
}

QString EscapeAmpersands(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return escaped;
}

// Gives each text without a mnemonic one; `set` writes a text back.
void Assign(const QStringList& texts, const QString& taken,
            const std::function<void(int, const QString&)>& set) {
    const QStringList done = WithMnemonics(texts, taken);
    for (int i = 0; i < texts.size(); ++i) {
        if (done.at(i) != texts.at(i)) {
            set(i, done.at(i));
        }
    }
}

} // namespace

QChar MnemonicOf(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&')) {
            if (text.at(i + 1).isLetterOrNumber()) {
                return text.at(i + 1).toLower();
            }
            ++i;
        }
    }
    return {};
}

QString PlainText(const QString& text) {
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&') && i + 1 < text.size()) {
            ++i;
        }
        plain += text.at(i);
    }
    return plain;
}

QStringList WithMnemonics(const QStringList& texts, const QString& taken) {
    QSet<QChar> used;
    for (const QChar c : taken) {
        used.insert(c.toLower());
    }
    for (const QString& t : texts) {
        if (!MnemonicOf(t).isNull()) {
            used.insert(MnemonicOf(t));
        }
    }
    QStringList result;
    for (const QString& t : texts) {
        if (!MnemonicOf(t).isNull()) {
            result << t;
            continue;
        }
        const QString plain = PlainText(t);
        QString marked = EscapeAmpersands(plain);
        for (const qsizetype at : Candidates(plain)) {
            const QChar c = plain.at(at).toLower();
            if (!used.contains(c)) {
                used.insert(c);
                marked = EscapeAmpersands(plain.left(at)) + QLatin1Char('&') +
                         EscapeAmpersands(plain.mid(at));
                break;
            }
        }
        result << marked;
    }
    return result;
}

void AssignMnemonics(QMenu& menu) {
    QList<QAction*> items;
    QStringList texts;
    for (QAction* a : menu.actions()) {
        if (!a->isSeparator() && a->isVisible() && !a->text().isEmpty()) {
            items << a;
            texts << a->text();
        }
    }
    Assign(texts, QString(), [&items](int i, const QString& text) {
        QAction* a = items.at(i);
        if (QMenu* sub = a->menu()) {
            sub->setTitle(text);
        } else {
            a->setText(text);
        }
    });
}

void AssignMnemonics(QWidget& page, const QString& taken) {
    QList<QWidget*> controls;
    QStringList texts;
    for (QWidget* w : page.findChildren<QWidget*>()) {
        if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            controls << w;
            texts << b->text();
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            controls << w;
            texts << g->title();
        } else if (auto* l = qobject_cast<QLabel*>(w); l && l->buddy()) {
            controls << w;
            texts << l->text();
        }
    }
    Assign(texts, taken, [&controls](int i, const QString& text) {
        QWidget* w = controls.at(i);
        if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            b->setText(text);
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            g->setTitle(text);
        } else if (auto* l = qobject_cast<QLabel*>(w)) {
            l->setText(text);
        }
    });
}

} // namespace veltrio::gui
