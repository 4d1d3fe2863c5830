#pragma once

#include <QString>

namespace veltrio::gui {

// Where the file dialogs start and what they propose. The open dialog starts
// in the folder of the study opened last; a save dialog in the folder saved
// into last while that study is open, else in the study's folder, and it
// proposes the window's caption as the file name, in the format chosen
// last.
class TFileLocations {
public:
    enum class TKind { Document, Chart };

    // A study file was opened (also one that was refused: it can be mended
    // and opened again). A study in another folder starts the save folder
    // afresh.
    void StudyOpened(const QString& file);
    // A document or chart was saved as this file, in the format of `filter`.
    void Saved(TKind kind, const QString& file, const QString& filter);

    // The open dialog's folder: the study's, else the folder of
    // `recentFile` (the newest entry of the file history), else the home
    // folder.
    QString OpenFolder(const QString& recentFile = {}) const;
    // The save dialogs' folder.
    QString SaveFolder() const;
    // The save dialog's filter: the one chosen last for this kind, else
    // `first`.
    QString SaveFilter(TKind kind, const QString& first) const;

    // A caption as a file name: the characters that file systems refuse
    // (/ \ : * ? " < > | and control characters) become "-", runs of blanks
    // one blank, and leading or trailing blanks and dots go; "Document"
    // when nothing is left.
    static QString FileNameOf(const QString& caption);

private:
    QString m_studyFolder;
    QString m_saveFolder;
    QString m_documentFilter;
    QString m_chartFilter;
};

} // namespace veltrio::gui
