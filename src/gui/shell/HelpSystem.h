#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <vector>

class QWidget;

namespace veltrio::gui {

class THelpWindow;

// One help topic: an HTML file of the help folder named after its context
// number ("100.html" for the main window).
struct THelpTopic {
    int Context = 0;
    QString Title;
    QStringList Keywords;
    QString FileName;
};

// The program's help: the topics of the help folder next to the program,
// shown by contents, keyword search and context number in one help window.
class THelpSystem : public QObject {
    Q_OBJECT
public:
    static constexpr const char* ContentsFile = "contents.html";
    static constexpr const char* HowToUseFile = "usinghelp.html";

    explicit THelpSystem(QString folder, QObject* parent = nullptr);
    ~THelpSystem() override;

    // Whether the folder holds the help (its contents page).
    bool Available() const { return m_available; }
    const QString& Folder() const { return m_folder; }
    const std::vector<THelpTopic>& Topics() const { return m_topics; }
    // The file of a context's topic; empty when there is none.
    QString TopicFile(int context) const;
    // Topics whose title or keywords contain the text (all for an empty one).
    std::vector<THelpTopic> Search(const QString& text) const;

    void ShowContents();
    void ShowSearch(const QString& keyword);
    void ShowHowToUse();
    // The topic of the context, or the contents when it has none.
    void ShowContext(int context);

    // The help context of a window: its own "helpContext" property or that
    // of the nearest parent that has one; 100 (the main window) otherwise.
    static int ContextOf(const QWidget* widget);

    THelpWindow* Window() const;
    void CloseWindow();

private:
    void LoadTopics();
    THelpWindow& EnsureWindow();

    QString m_folder;
    bool m_available = false;
    std::vector<THelpTopic> m_topics;
    QPointer<THelpWindow> m_window;
};

} // namespace veltrio::gui
