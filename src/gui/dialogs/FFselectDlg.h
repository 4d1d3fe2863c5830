#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace veltrio::gui {

// The choice of the study files of a fast feedback round: a directory, the
// study files in it that are not chosen, and the chosen ones in the order
// they were chosen. A file joins the chosen list only when it reads; the
// check is given by the caller and shows its own message.
class TFFselectDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContextId = 900;
    // The number of laboratories of the file, or a negative number when it
    // cannot join the round.
    using TProbe = std::function<int(const QString& path)>;

    explicit TFFselectDlg(QWidget* parent = nullptr);

    void SetProbe(TProbe probe) { m_probe = std::move(probe); }
    // Shows `folder` and lists its study files (sorted by name); files
    // already chosen are not offered again.
    void SetDirectory(const QString& folder);
    QString Directory() const { return m_folder; }

    // The chosen files, full paths in the order chosen.
    QStringList SelectedPaths() const { return m_paths; }
    // The largest number of laboratories among the files chosen so far.
    int LargestNoOfLabs() const { return m_largest; }

    QListWidget* DirectoryList() const { return m_tree; }
    QListWidget* UnselectedList() const { return m_unselected; }
    QListWidget* SelectedList() const { return m_selected; }
    QPushButton* AddButton() const { return m_add; }
    QPushButton* AddAllButton() const { return m_addAll; }
    QPushButton* RemoveButton() const { return m_remove; }
    QPushButton* RemoveAllButton() const { return m_removeAll; }

signals:
    void HelpRequested(int helpContext);

private:
    void AddSelected();
    void AddAll();
    void RemoveSelected();
    void RemoveAll();
    // Lists the study files of the directory that are not chosen.
    void Refill();
    void UpdateButtons();
    // The folders of the directory shown, ".." first.
    void FillFolders();
    bool Probe(const QString& path);
    QString PathOf(const QString& name) const;

    TProbe m_probe;
    QString m_folder;
    QStringList m_paths;
    int m_largest = 0;
    QListWidget* m_tree;
    QLineEdit* m_folderEdit;
    QListWidget* m_unselected;
    QListWidget* m_selected;
    QPushButton* m_add;
    QPushButton* m_addAll;
    QPushButton* m_remove;
    QPushButton* m_removeAll;
};

} // namespace veltrio::gui
