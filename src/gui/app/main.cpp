// veltrio: the desktop program.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <filesystem>

#include "charts/ChartItem.h"
#include "gui/shell/MainForm.h"
#include "gui/widgets/ProgramIcons.h"
#include "platform/RasterPicture.h"
#include "platform/ReportTextMeasure.h"
#include "settings/SettingsFile.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VELTRIO"));
    QApplication::setApplicationVersion(QStringLiteral(VELTRIO_VERSION));
    QApplication::setWindowIcon(veltrio::gui::ProgramIcon(QStringLiteral("veltrio")));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Program for data processing of proficiency testings."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption settings(QStringLiteral("settings"),
                                      QStringLiteral("The settings file to use."),
                                      QStringLiteral("file"));
    parser.addOption(settings);
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A study file to open."),
                                 QStringLiteral("[file]"));
    parser.process(app);

    // Charts in documents become pictures when the documents are saved as
    // HTML or RTF.
    veltrio::SetChartRasterizer(veltrio::platform::RenderPicture);
    veltrio::platform::InstallReportTextMeasure();

    veltrio::gui::TMainFormOptions options;
    options.ProgramDir = std::filesystem::path(QApplication::applicationDirPath().toStdU16String());
    options.SettingsFile =
        veltrio::SettingsFilePath(std::filesystem::path(parser.value(settings).toStdU16String()));

    veltrio::gui::TMainForm window(options);
    if (!window.StartUp()) {
        return 1;
    }
    window.show();
    if (!parser.positionalArguments().isEmpty()) {
        window.OpenStudy(QDir::current().absoluteFilePath(parser.positionalArguments().first()),
                         true);
    }
    return QApplication::exec();
}
