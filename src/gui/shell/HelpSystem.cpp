#include "gui/shell/HelpSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QVariant>
#include <QWidget>
#include <algorithm>

#include "gui/shell/HelpWindow.h"

namespace veltrio::gui {

THelpSystem::THelpSystem(QString folder, QObject* parent)
    : QObject(parent), m_folder(std::move(folder)) {
    m_available = QFileInfo(QDir(m_folder).filePath(QLatin1String(ContentsFile))).isFile();
    if (m_available) {
        LoadTopics();
    }
}

THelpSystem::~THelpSystem() {
    if (m_window) {
        delete m_window.data();
    }
}

void THelpSystem::LoadTopics() {
    static const QRegularExpression numbered(QStringLiteral("^(\\d+)\\.html$"));
    static const QRegularExpression title(QStringLiteral("<title>(.*?)</title>"),
                                          QRegularExpression::CaseInsensitiveOption |
                                              QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression keywords(
        QStringLiteral("<meta\\s+name=\"keywords\"\\s+content=\"([^\"]*)\""),
        QRegularExpression::CaseInsensitiveOption);
    const QDir dir(m_folder);
    for (const QString& name : dir.entryList({QStringLiteral("*.html")}, QDir::Files)) {
        const auto m = numbered.match(name);
        if (!m.hasMatch()) {
            continue;
        }
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QString text = QString::fromUtf8(f.readAll());
        THelpTopic topic;
        topic.Context = m.captured(1).toInt();
        topic.FileName = dir.filePath(name);
        const auto t = title.match(text);
        topic.Title = t.hasMatch() ? t.captured(1).trimmed() : name;
        const auto k = keywords.match(text);
        if (k.hasMatch()) {
            for (const QString& w : k.captured(1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
                topic.Keywords << w.trimmed();
            }
        }
        m_topics.push_back(std::move(topic));
    }
    // The order of the contents page, then the remaining topics by number.
    QStringList order;
    QFile contents(dir.filePath(QLatin1String(ContentsFile)));
    if (contents.open(QIODevice::ReadOnly)) {
        static const QRegularExpression link(QStringLiteral("href=\"(\\d+)\\.html\""));
        auto it = link.globalMatch(QString::fromUtf8(contents.readAll()));
        while (it.hasNext()) {
            order << it.next().captured(1);
        }
    }
    auto rank = [&order](const THelpTopic& t) {
        const auto i = order.indexOf(QString::number(t.Context));
        return i < 0 ? order.size() : i;
    };
    std::stable_sort(m_topics.begin(), m_topics.end(),
                     [&](const THelpTopic& a, const THelpTopic& b) {
                         return rank(a) != rank(b) ? rank(a) < rank(b) : a.Context < b.Context;
                     });
}

QString THelpSystem::TopicFile(int context) const {
    for (const THelpTopic& t : m_topics) {
        if (t.Context == context) {
            return t.FileName;
        }
    }
    return {};
}

std::vector<THelpTopic> THelpSystem::Search(const QString& text) const {
    std::vector<THelpTopic> found;
    const QString needle = text.trimmed();
    for (const THelpTopic& t : m_topics) {
        bool match = needle.isEmpty() || t.Title.contains(needle, Qt::CaseInsensitive);
        for (const QString& k : t.Keywords) {
            match = match || k.contains(needle, Qt::CaseInsensitive);
        }
        if (match) {
            found.push_back(t);
        }
    }
    return found;
}

THelpWindow* THelpSystem::Window() const {
    return m_window.data();
}

void THelpSystem::CloseWindow() {
    if (m_window) {
        m_window->close();
    }
}

THelpWindow& THelpSystem::EnsureWindow() {
    if (!m_window) {
        m_window = new THelpWindow(*this);
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    return *m_window;
}

void THelpSystem::ShowContents() {
    if (!m_available) {
        return;
    }
    EnsureWindow().ShowFile(QDir(m_folder).filePath(QLatin1String(ContentsFile)), false);
}

void THelpSystem::ShowSearch(const QString& keyword) {
    if (!m_available) {
        return;
    }
    EnsureWindow().ShowSearch(keyword);
}

void THelpSystem::ShowHowToUse() {
    if (!m_available) {
        return;
    }
    EnsureWindow().ShowFile(QDir(m_folder).filePath(QLatin1String(HowToUseFile)), false);
}

void THelpSystem::ShowContext(int context) {
    if (!m_available) {
        return;
    }
    const QString file = TopicFile(context);
    if (file.isEmpty()) {
        ShowContents();
        return;
    }
    EnsureWindow().ShowFile(file, false);
}

int THelpSystem::ContextOf(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QVariant v = w->property("helpContext");
        if (v.isValid() && v.toInt() > 0) {
            return v.toInt();
        }
    }
    return 100;
}

} // namespace veltrio::gui
