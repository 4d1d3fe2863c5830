#include "gui/dialogs/WeightFuncGraphForm.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include "charts/ChartStyle.h"
#include "charts/GraphWindow.h"
#include "gui/browser/PrintJob.h"
#include "gui/widgets/UserInterface.h"
#include "platform/ChartExport.h"
#include "platform/QtCanvas.h"
#include "quality/Weights.h"
#include "study/Program.h"

namespace veltrio::gui {

namespace {

constexpr int ScreenPixelsPerInch = 96;

QString ToQ(const std::string& s) {
    return QString::fromStdString(s);
}

// The chart between the panels; it takes the area's size.
class TWeightChartArea : public QWidget {
public:
    TWeightChartArea(TGraphWindow& chart, QWidget* parent) : QWidget(parent), m_chart(chart) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setObjectName(QStringLiteral("ChartArea"));
        setMinimumSize(200, 150);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        platform::QtCanvas canvas(painter, ScreenPixelsPerInch);
        m_chart.Width = width();
        m_chart.Height = height();
        m_chart.Paint(canvas);
    }

private:
    TGraphWindow& m_chart;
};

} // namespace

TWeightFuncGraphForm::TWeightFuncGraphForm(Program& program, TWeights& weights, QPrinter* printer,
                                           QWidget* parent)
    : QDialog(parent), m_program(program), m_weights(weights),
      m_chart(std::make_shared<TGraphWindow>()), m_relation(new QComboBox(this)),
      m_best(new QLabel(this)), m_area(new TWeightChartArea(*m_chart, this)),
      m_print(new QPushButton(tr("&Print"), this)), m_copy(new QPushButton(tr("&Copy"), this)),
      m_printer(printer) {
    setWindowTitle(ToQ(program.LibText(1, 35)));
    setProperty("helpContext", HelpContextId);
    setSizeGripEnabled(true);

    ChartFonts(*m_chart, program.Settings);
    m_chart->SetXinCm(24.8);
    m_chart->SetYinCm(17.1);
    m_chart->DefaultLineWidth = ChartLineWidth(program.Settings);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        m_chart->ScreenWidth = std::max(1, screen->size().width());
        m_chart->ScreenHeight = std::max(1, screen->size().height());
    }
    m_chart->OnChange = [area = m_area] { area->update(); };

    m_relation->setObjectName(QStringLiteral("cbRelation"));
    m_best->setObjectName(QStringLiteral("lblBestRelation"));
    auto* model = new QStandardItemModel(m_relation);
    for (int k = 0; k < TWeights::RelationCount; ++k) {
        auto* item = new QStandardItem(ToQ(weights.RelationName(program, k)));
        if (!weights.RelationValid[static_cast<std::size_t>(k)]) {
            // Not to be chosen: it gives no positive weight at every level.
            item->setFlags(item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
        }
        model->appendRow(item);
    }
    m_relation->setModel(model);
    m_relation->setCurrentIndex(weights.CurrentRelation);
    m_best->setText(
        ToQ(program.LibText(1, 82) + (weights.BestRelation >= 0
                                          ? weights.RelationName(program, weights.BestRelation)
                                          : std::string("-"))));
    connect(m_relation, &QComboBox::currentIndexChanged, this,
            &TWeightFuncGraphForm::cbRelationChange);

    auto* top = new QHBoxLayout;
    top->addWidget(m_relation);
    top->addSpacing(15);
    top->addWidget(m_best, 1);

    auto* ok = new QPushButton(tr("OK"), this);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    auto* help = new QPushButton(tr("&Help"), this);
    ok->setObjectName(QStringLiteral("OKBtn"));
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    help->setObjectName(QStringLiteral("HelpBtn"));
    m_print->setObjectName(QStringLiteral("PrintBtn"));
    m_copy->setObjectName(QStringLiteral("CopyBtn"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { emit HelpRequested(HelpContextId); });
    connect(m_print, &QPushButton::clicked, this, &TWeightFuncGraphForm::PrintChart);
    connect(m_copy, &QPushButton::clicked, this, &TWeightFuncGraphForm::CopyChart);
    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(15);
    bottom->addWidget(m_print);
    bottom->addWidget(m_copy);
    bottom->addStretch(1);
    bottom->addWidget(ok);
    bottom->addWidget(cancel);
    bottom->addWidget(help);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_area, 1);
    layout->addLayout(bottom);

    const QScreen* screen = QGuiApplication::primaryScreen();
    const bool wide = !screen || screen->size().width() > 640;
    resize(wide ? QSize(600, 500) : QSize(500, 400));
    Redraw();
}

TWeightFuncGraphForm::~TWeightFuncGraphForm() = default;

void TWeightFuncGraphForm::Redraw() {
    m_weights.DrawChart(m_program, *m_chart, true);
    m_area->update();
}

void TWeightFuncGraphForm::cbRelationChange(int index) {
    // An invalid relation is ignored: the list shows the one in use again.
    m_weights.SelectRelation(index);
    if (m_relation->currentIndex() != m_weights.CurrentRelation) {
        const QSignalBlocker blocker(m_relation);
        m_relation->setCurrentIndex(m_weights.CurrentRelation);
    }
    m_weights.ComputeWeights(m_program);
    Redraw();
}

void TWeightFuncGraphForm::CopyChart() {
    auto data = std::make_unique<QMimeData>();
    data->setData(QStringLiteral("image/svg+xml"), platform::ChartAsSvg(*m_chart));
    data->setImageData(platform::ChartAsImage(*m_chart, ScreenPixelsPerInch));
    QApplication::clipboard()->setMimeData(data.release());
}

void TWeightFuncGraphForm::PrintChart() {
    QPrinter* printer = m_printer;
    if (!printer) {
        if (!m_ownPrinter) {
            m_ownPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        }
        printer = m_ownPrinter.get();
    }
    if (!TUserInterface::Current().AskPrinter(this, *printer)) {
        return;
    }
    TPrintJob job(*printer, windowTitle());
    job.AddChart(*m_chart);
    job.Finish();
}

} // namespace veltrio::gui
