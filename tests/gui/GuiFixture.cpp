#include "GuiFixture.h"

#include <QFile>
#include <fstream>
#include <sstream>

namespace veltrio::gui::testing {

std::string StudyText(bool split, int levels, int replicates, int labs,
                      const std::string& extraHeader) {
    std::ostringstream s;
    s << "FILEHEADER\n  " << (split ? "SPLITLEVEL" : "UNIFORM") << "\n  NLABS = " << labs
      << "\n  NREPLICATES = " << replicates << "\n  NOOFLEVELS = " << levels
      << "\n  SUBSTANCE = \"Glucose\"\n  UNIT = \"mg/l\"\n  TESTID = \"Round 7\"\n"
      << extraHeader << "END\n";
    for (int lv = 1; lv <= levels; ++lv) {
        s << "LEVELHEADER\n  LEVELID = ";
        if (split) {
            s << "\"" << char('A' + 2 * (lv - 1)) << "\" \"" << char('B' + 2 * (lv - 1)) << "\"\n";
        } else {
            s << "\"" << char('A' + lv - 1) << "\"\n";
        }
        s << "END\nLEVELDATA\n";
        for (int lab = 1; lab <= labs; ++lab) {
            s << "  0" << lab << " L0" << lab;
            for (int r = 1; r <= replicates; ++r) {
                s << ' ' << 10 * lv + lab * 0.1 + r * 0.03;
            }
            s << " M1\n";
        }
        s << "END\n";
    }
    return s.str();
}

void MainFormTest::SetUp() {
    ASSERT_TRUE(m_dir.isValid());
    TUserInterface::SetCurrent(&m_ui);
    m_form = MakeForm();
}

void MainFormTest::TearDown() {
    m_form.reset();
    TUserInterface::SetCurrent(nullptr);
}

std::unique_ptr<TMainForm> MainFormTest::MakeForm(bool withHelp) {
    TMainFormOptions o;
    o.ProgramDir = VELTRIO_BIN_DIR;
    o.SettingsFile = Path(QStringLiteral("VELTRIO.INI"));
    o.HelpFolder = withHelp ? std::filesystem::path(VELTRIO_SOURCE_DIR) / "help"
                            : Path(QStringLiteral("no-help-here"));
    auto form = std::make_unique<TMainForm>(o);
    EXPECT_TRUE(form->StartUp());
    return form;
}

std::filesystem::path MainFormTest::Path(const QString& name) const {
    return std::filesystem::path(m_dir.filePath(name).toStdString());
}

QString MainFormTest::WriteFile(const QString& name, const std::string& bytes) {
    std::ofstream f(Path(name), std::ios::binary);
    f << bytes;
    return m_dir.filePath(name);
}

std::string MainFormTest::ReadFile(const QString& path) const {
    std::ifstream f(path.toStdString(), std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

} // namespace veltrio::gui::testing
