#include "gui/dialogs/RepTextsForm.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "base/TextUtil.h"
#include "gui/widgets/UserInterface.h"
#include "study/Program.h"

namespace veltrio::gui {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

// Memos keep their lines with CR LF, as the file holds them.
QString MemoText(const std::string& crlf) {
    QString s = Q(crlf);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}
std::string CrLf(const QString& text) {
    QString s = text;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return S(s);
}

QString Number(double v) { return QString::number(v, 'g', 15); }

void SetCell(QTableWidget& grid, int row, int col, const QString& text, bool editable = true) {
    auto* item = new QTableWidgetItem(text);
    if (!editable) {
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    }
    grid.setItem(row, col, item);
}

QString CellText(const QTableWidget& grid, int row, int col) {
    const QTableWidgetItem* item = grid.item(row, col);
    return item ? item->text() : QString();
}

const char* const kFileHeads[] = {"Filnavn",     "Alias",       "Accu. % 1", "Accu. % 2",
                                  "Accu. abs 1", "Accu. abs 2", "Prec. % 1", "Prec. % 2",
                                  "Prec. abs 1", "Prec. abs 2"};

QStringList RowOf(const TReportFile& f) {
    const TThresholds& l = f.Limits;
    return {Q(f.Name),
            Q(l.Alias),
            QString::number(l.AccuPct1),
            QString::number(l.AccuPct2),
            Number(l.AccuAbs1),
            Number(l.AccuAbs2),
            QString::number(l.PrecPct1),
            QString::number(l.PrecPct2),
            Number(l.PrecAbs1),
            Number(l.PrecAbs2)};
}

} // namespace

// ---------------------------------------------------------------------------

TLabNamesForm::TLabNamesForm(QWidget* parent)
    : QDialog(parent), m_grid(new QTableWidget(Rows, 2, this)),
      m_load(new QPushButton(QStringLiteral("&Load"), this)) {
    setWindowTitle(QStringLiteral("Edit laboratory names"));
    m_grid->setHorizontalHeaderLabels({QStringLiteral("Lab no."), QStringLiteral("Laboratory name")});
    m_grid->setColumnWidth(0, 60);
    m_grid->setColumnWidth(1, 300);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->addButton(m_load, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_load, &QPushButton::clicked, this, [this] {
        const QString name = TUserInterface::Current().OpenFileName(
            this, QStringLiteral("Load laboratory names"), QString(),
            QStringLiteral("Text files (*.txt)"));
        if (!name.isEmpty()) {
            LoadFile(QFileInfo(name).suffix().isEmpty() ? name + QStringLiteral(".txt") : name);
        }
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
    layout->addWidget(buttons);
    resize(440, 480);
}

void TLabNamesForm::SetNames(const std::vector<TLabName>& names) {
    m_grid->clearContents();
    for (int r = 0; r < Rows && r < static_cast<int>(names.size()); ++r) {
        SetCell(*m_grid, r, 0, Q(names[static_cast<std::size_t>(r)].Code));
        SetCell(*m_grid, r, 1, Q(names[static_cast<std::size_t>(r)].Name));
    }
}

std::vector<TLabName> TLabNamesForm::Names() const {
    std::vector<TLabName> names;
    for (int r = 0; r < Rows; ++r) {
        const QString code = CellText(*m_grid, r, 0);
        if (code.isEmpty()) {
            continue;
        }
        names.push_back({Utf8Left(S(code), 10), Utf8Left(S(CellText(*m_grid, r, 1)), 255)});
    }
    return names;
}

bool TLabNamesForm::LoadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        TUserInterface::Current().Message(
            this, windowTitle(),
            QStringLiteral("The file %1 cannot be read: %2.").arg(path, file.errorString()),
            QMessageBox::Critical);
        return false;
    }
    const QByteArray bytes = file.readAll();
    const std::string text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    // Older tools write these files in the DOS code page.
    const std::string utf8 = IsValidUtf8(text) ? text : OemToAnsiText(text);
    SetNames(ParseLabNamesText(utf8, Rows));
    return true;
}

// ---------------------------------------------------------------------------

TLegendForm::TLegendForm(QWidget* parent) : QDialog(parent), m_grid(new QTableWidget(3, 2, this)) {
    setWindowTitle(QStringLiteral("Edit legends"));
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->setColumnWidth(0, 20);
    m_grid->setColumnWidth(1, 600);
    const char* codes[] = {"A", "A*", "I"};
    for (int r = 0; r < 3; ++r) {
        SetCell(*m_grid, r, 0, QString::fromLatin1(codes[r]), false);
        SetCell(*m_grid, r, 1, QString());
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
    layout->addWidget(buttons);
    resize(700, 190);
}

void TLegendForm::SetLegends(const std::vector<std::string>& legends) {
    for (int r = 0; r < 3; ++r) {
        SetCell(*m_grid, r, 1,
                r < static_cast<int>(legends.size()) ? Q(legends[static_cast<std::size_t>(r)])
                                                     : QString());
    }
}

std::vector<std::string> TLegendForm::Legends() const {
    std::vector<std::string> out;
    for (int r = 0; r < 3; ++r) {
        out.push_back(S(CellText(*m_grid, r, 1)));
    }
    return out;
}

// ---------------------------------------------------------------------------

TRepTextsForm::TRepTextsForm(Program& program, TRepTexts& texts, QWidget* parent)
    : QDialog(parent), m_program(program), m_texts(texts), m_work(texts),
      m_files(new QTableWidget(0, FileColumns, this)),
      m_useNames(new QCheckBox(QStringLiteral("Use lab. name"), this)),
      m_showLegend(new QCheckBox(QStringLiteral("Show legend"), this)),
      m_editFiles(new QPushButton(QStringLiteral("Edit parameter files"), this)),
      m_labNames(new QPushButton(QStringLiteral("Lab names"), this)),
      m_legend(new QPushButton(QStringLiteral("Legend"), this)) {
    setWindowTitle(QStringLiteral("Texts for laboratory reports"));
    setProperty("helpContext", HelpContextId);

    auto edit = [this](const char* field) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(field));
        m_edits.push_back({field, e});
        return e;
    };
    auto* test = new QGroupBox(QStringLiteral("Proficiency testing"), this);
    auto* testForm = new QFormLayout(test);
    testForm->addRow(QStringLiteral("Name"), edit("edNavn"));
    testForm->addRow(QStringLiteral("Topic"), edit("edEmne"));
    testForm->addRow(QStringLiteral("Sampletypes"), edit("edType"));
    testForm->addRow(QStringLiteral("Parametres"), edit("edParametre"));
    testForm->addRow(QStringLiteral("Host"), edit("edArrangeur"));
    auto* dates = new QFormLayout;
    dates->addRow(QStringLiteral("Samples shipped"), edit("edFremsendt"));
    dates->addRow(QStringLiteral("Proficiencytest date"), edit("edProevdag"));
    dates->addRow(QStringLiteral("Deadline"), edit("edSvarfrist"));
    dates->addRow(QStringLiteral("Report"), edit("edRapport"));
    dates->addRow(QStringLiteral("Total report"), edit("edSamletRapport"));
    auto* top = new QHBoxLayout;
    top->addWidget(test, 3);
    top->addLayout(dates, 2);

    auto* memos = new QGridLayout;
    const char* memoLabels[] = {"Homogenity", "Stability", "Estimation of assigned value"};
    const char* memoNames[] = {"meHomogenitet", "meStabilitet", "meNominel"};
    for (int i = 0; i < 3; ++i) {
        memos->addWidget(new QLabel(QString::fromLatin1(memoLabels[i]), this), 0, i);
        m_memos[i] = new QPlainTextEdit(this);
        m_memos[i]->setObjectName(QString::fromLatin1(memoNames[i]));
        m_memos[i]->setMinimumHeight(90);
        memos->addWidget(m_memos[i], 1, i);
    }

    m_files->setObjectName(QStringLiteral("sgFiles"));
    QStringList heads;
    for (const char* h : kFileHeads) {
        heads << QString::fromLatin1(h);
    }
    m_files->setHorizontalHeaderLabels(heads);
    m_files->setColumnWidth(0, 100);
    // All ten columns in sight at the window's size.
    for (int c = 1; c < FileColumns; ++c) {
        m_files->setColumnWidth(c, 86);
    }
    m_files->setMinimumHeight(130);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(QStringLiteral("Signature"), this));
    bottom->addWidget(edit("edSignature"), 1);
    bottom->addWidget(m_useNames);
    bottom->addWidget(m_showLegend);

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    buttons->addButton(m_editFiles, QDialogButtonBox::ActionRole);
    buttons->addButton(m_labNames, QDialogButtonBox::ActionRole);
    buttons->addButton(m_legend, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &TRepTextsForm::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { emit HelpRequested(HelpContextId); });
    connect(m_editFiles, &QPushButton::clicked, this, &TRepTextsForm::EditParameterFiles);
    connect(m_labNames, &QPushButton::clicked, this, &TRepTextsForm::EditLabNames);
    connect(m_legend, &QPushButton::clicked, this, &TRepTextsForm::EditLegends);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(memos);
    layout->addWidget(new QLabel(QStringLiteral("Parameter files"), this));
    layout->addWidget(m_files, 1);
    layout->addLayout(bottom);
    layout->addWidget(buttons);
    resize(960, 640);
    FillControls();
}

QLineEdit* TRepTextsForm::Edit(const char* field) const {
    for (const auto& [name, e] : m_edits) {
        if (std::string(name) == field) {
            return e;
        }
    }
    return nullptr;
}

namespace {

struct EditField {
    const char* Control;
    std::string TRepTexts::*Field;
};
const EditField kEditFields[] = {
    {"edNavn", &TRepTexts::TestName},         {"edEmne", &TRepTexts::Topic},
    {"edType", &TRepTexts::SampleTypes},      {"edParametre", &TRepTexts::Parameters},
    {"edArrangeur", &TRepTexts::Host},        {"edFremsendt", &TRepTexts::SamplesShipped},
    {"edProevdag", &TRepTexts::TestDate},     {"edSvarfrist", &TRepTexts::Deadline},
    {"edRapport", &TRepTexts::ReportDate},    {"edSamletRapport", &TRepTexts::TotalReportDate},
    {"edSignature", &TRepTexts::Signature},
};
std::string TRepTexts::*const kMemoFields[] = {&TRepTexts::HomogeneityText,
                                               &TRepTexts::StabilityText,
                                               &TRepTexts::AssignedValueText};

} // namespace

void TRepTextsForm::FillControls() {
    for (const EditField& f : kEditFields) {
        Edit(f.Control)->setText(Q(m_work.*f.Field));
    }
    for (int i = 0; i < 3; ++i) {
        m_memos[i]->setPlainText(MemoText(m_work.*kMemoFields[i]));
    }
    m_useNames->setChecked(m_work.UseLabNames);
    m_showLegend->setChecked(m_work.ShowLegend);
    std::vector<QStringList> rows;
    for (const TReportFile& f : m_work.ReportFiles) {
        rows.push_back(RowOf(f));
    }
    FillFileGrid(rows);
}

void TRepTextsForm::FillFileGrid(const std::vector<QStringList>& rows) {
    m_files->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        for (int c = 0; c < FileColumns; ++c) {
            SetCell(*m_files, r, c, rows[static_cast<std::size_t>(r)].value(c), c != 0);
        }
    }
}

std::vector<QStringList> TRepTextsForm::GridRows() const {
    std::vector<QStringList> rows;
    for (int r = 0; r < m_files->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < FileColumns; ++c) {
            row << CellText(*m_files, r, c);
        }
        rows.push_back(row);
    }
    return rows;
}

bool TRepTextsForm::Commit() {
    TRepTexts next = m_work;
    for (const EditField& f : kEditFields) {
        next.*f.Field = S(Edit(f.Control)->text());
    }
    for (int i = 0; i < 3; ++i) {
        next.*kMemoFields[i] = CrLf(m_memos[i]->toPlainText());
    }
    next.UseLabNames = m_useNames->isChecked();
    next.ShowLegend = m_showLegend->isChecked();
    next.ReportFiles.clear();
    const auto rows = GridRows();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const QStringList& row = rows[r];
        TReportFile f;
        f.Name = S(row.value(0));
        f.Limits.Alias = S(row.value(1));
        std::int32_t* pct[] = {&f.Limits.AccuPct1, &f.Limits.AccuPct2, &f.Limits.PrecPct1,
                               &f.Limits.PrecPct2};
        double* abs[] = {&f.Limits.AccuAbs1, &f.Limits.AccuAbs2, &f.Limits.PrecAbs1,
                         &f.Limits.PrecAbs2};
        const int pctCols[] = {2, 3, 6, 7};
        const int absCols[] = {4, 5, 8, 9};
        for (int i = 0; i < 4; ++i) {
            bool ok = ParsePercentCell(S(row.value(pctCols[i])), *pct[i]);
            int col = pctCols[i];
            if (ok) {
                ok = ParseLimitCell(S(row.value(absCols[i])), *abs[i]);
                col = absCols[i];
            }
            if (!ok) {
                m_files->setCurrentCell(static_cast<int>(r), col);
                TUserInterface::Current().Message(
                    this, windowTitle(),
                    QStringLiteral("\"%1\" is not a number (%2 of %3). Nothing was saved.")
                        .arg(row.value(col), QString::fromLatin1(kFileHeads[col]), row.value(0)),
                    QMessageBox::Critical);
                return false;
            }
        }
        next.ReportFiles.push_back(std::move(f));
    }
    std::string why;
    if (!next.SaveRepTexts(why)) {
        TUserInterface::Current().Message(
            this, windowTitle(),
            QStringLiteral("The report texts could not be saved as %1: %2.")
                .arg(QString::fromStdU16String(next.RepTextsFile.u16string()), Q(why)),
            QMessageBox::Critical);
        return false;
    }
    m_work = next;
    m_texts = next;
    return true;
}

void TRepTextsForm::accept() {
    if (Commit()) {
        QDialog::accept();
    }
}

void TRepTextsForm::EditParameterFiles() {
    if (!m_choose) {
        return;
    }
    // What was typed into the grid stays with its file.
    const auto rows = GridRows();
    QStringList names;
    for (const auto& row : rows) {
        names << row.value(0);
    }
    const QString folder = QString::fromStdU16String(m_work.ParDir.u16string());
    QString chosenFolder;
    QStringList chosen;
    if (m_choose(folder, names, chosenFolder, chosen)) {
        const bool sameFolder = !folder.isEmpty() && QFileInfo(chosenFolder) == QFileInfo(folder);
        std::vector<QStringList> next;
        if (sameFolder) {
            for (const auto& row : rows) {
                if (chosen.contains(row.value(0))) {
                    next.push_back(row);
                }
            }
        }
        for (const QString& name : chosen) {
            const bool known = std::any_of(next.begin(), next.end(), [&](const QStringList& row) {
                return row.value(0) == name;
            });
            if (!known) {
                next.push_back(RowOf(TReportFile{S(name), {}}));
            }
        }
        m_work.ParDir = std::filesystem::path(chosenFolder.toStdU16String());
        FillFileGrid(next);
    }
}

void TRepTextsForm::EditLabNames() {
    TLabNamesForm dialog(this);
    dialog.SetNames(m_work.LabNames);
    if (TUserInterface::Current().Exec(dialog) == QDialog::Accepted) {
        m_work.LabNames = dialog.Names();
    }
}

void TRepTextsForm::EditLegends() {
    TLegendForm dialog(this);
    dialog.SetLegends(m_work.ShownLegends());
    if (TUserInterface::Current().Exec(dialog) == QDialog::Accepted) {
        m_work.Legends = dialog.Legends();
    }
}

} // namespace veltrio::gui
