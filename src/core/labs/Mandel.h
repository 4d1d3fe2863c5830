#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/Missing.h"
#include "numerics/CriticalValues.h"

namespace veltrio {

class Program;
class TGraphWindow;
class TTavContents;

// The sort record of the charts' laboratory order.
struct TPlaceClass {
    double Key = MissingValue;
    int LabIndex = 0;
};

// Positions First..Last (1-based) of one chart page.
struct TMandelPage {
    int First = 1;
    int Last = 0;
    bool operator==(const TMandelPage&) const = default;
};

// The fewest pages with at most pageSize of the labs positions each, all
// filled alike but the last (31 positions at 30 a page: 16 and 15). A page
// size below 1 counts as 1; no positions, no pages.
std::vector<TMandelPage> MandelChartPages(int labs, int pageSize);

// Mandel's consistency statistics of every laboratory in every level, their
// marks against the critical values, the document and the chart pages.
// TMandelH (between laboratories) and TMandelK (within laboratories) are
// twins that differ in the statistic and its critical values. An object
// serves one command: it reads the study and the marks as they are when
// Calculate runs and is dropped after its document and charts are built.
class TMandel {
public:
    virtual ~TMandel();
    TMandel(const TMandel&) = delete;
    TMandel& operator=(const TMandel&) = delete;

    // Values, ValueCount, SortKey and LabOrder of the loaded study.
    void Calculate();

    // The document of values, notes and critical values, framed.
    std::unique_ptr<TTavContents> BuildReport();
    // Builds the document and shows it in a browser window.
    void MakeReport();
    // The chart of one page (1-based) of the pages for the settings'
    // MandelLabsPage.
    std::shared_ptr<TGraphWindow> BuildChart(int page);
    // One chart window per page.
    void MakeCharts();

    // h or k of a laboratory (1-based) in a level (1-based); −99 without one.
    double Values(int lab, int level) const;
    // The number of laboratories with a value in a level.
    int ValueCount(int level) const;
    // The mean of a laboratory's values over the levels; −99 without any.
    double SortKey(int lab) const;
    // The laboratory at a chart position (1-based) in SortKey order:
    // ascending, laboratories without a key last, equal keys by index.
    int LabOrder(int position) const;
    // The pages of the charts.
    std::vector<TMandelPage> Pages() const;

    // The mark text of a laboratory in a level: the outlier letter ("G" for
    // h, "C" for k) and one asterisk at or above the 5 % and one more at or
    // above the 1 % critical value; empty without a value.
    std::string MarkText(int lab, int level) const;
    // The critical value for the laboratories with a value in a level.
    double Critical(int level, TSignificanceLevel significance) const;
    // The critical value of the charts' lines: for the most values in a
    // level.
    double ChartCritical(TSignificanceLevel significance) const;
    // The critical value for p laboratories (and the study's replicates).
    virtual double CriticalValue(int p, TSignificanceLevel significance) const = 0;

    // The value axis of the charts.
    const double ChartMin;
    const double ChartMax;

protected:
    TMandel(Program& program, double chartMin, double chartMax);

    // Fills the values (by laboratory, 1-based) of one level.
    virtual void CalculateLevel(int level, std::vector<double>& values) const = 0;
    // The study's mark that the mark text repeats: 'G' or 'C'.
    virtual char OutlierMark() const = 0;
    // h is tested on both sides, k on the upper one.
    virtual bool TwoSided() const = 0;
    // Chapter 8: the statistic's name, and the first of its three notes.
    virtual int NameItem() const = 0;
    virtual int FirstNoteItem() const = 0;
    // "h" or "k".
    virtual std::string Symbol() const = 0;
    // Whether a value lies on the value axis of the charts.
    virtual bool OnAxis(double value) const = 0;

    Program& m_program;

private:
    std::size_t Index(int lab, int level) const;
    void AddValuesTable(TTavContents& doc);
    void AddCriticalTable(TTavContents& doc);
    std::string LevelHead() const;

    int m_labs = 0;
    int m_levels = 0;
    std::vector<double> m_values;
    std::vector<int> m_valueCount;
    std::vector<double> m_sortKey;
    std::vector<int> m_labOrder;
};

// A menu command: calculate, show the document and the charts, drop the
// object.
void RunMandel(TMandel& mandel);

} // namespace veltrio
