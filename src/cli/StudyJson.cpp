#include "StudyJson.h"

#include <initializer_list>
#include <utility>

#include "Json.h"
#include "labs/MandelH.h"
#include "labs/MandelK.h"
#include "labs/PerformanceScores.h"
#include "preliminary/RecoveryControl.h"
#include "preliminary/SplitControl.h"
#include "quality/ANOVA.h"
#include "quality/Evaluation.h"
#include "quality/ISOGuide.h"
#include "quality/Regression.h"
#include "quality/Weights.h"
#include "base/Error.h"
#include "study/Program.h"
#include "tools/Histogram.h"
#include "tools/MethodEvaluation.h"

namespace veltrio {

namespace {

// A level's figures of a t test, named, and the p that they used.
void WriteTest(JsonWriter& j, std::initializer_list<std::pair<const char*, double>> figures,
               int labs) {
    j.BeginObject();
    for (const auto& [name, value] : figures) {
        j.Key(name);
        j.Number(value);
    }
    j.Key("NoOfLabs");
    j.Integer(labs);
    j.EndObject();
}

// A level's figures of Mandel's h or k: the value of every laboratory in
// file order (null without one), the count, the critical values for that
// count (null when there are none) and the mark texts.
void WriteMandel(JsonWriter& j, const TMandel& m, int lv, int labs) {
    j.BeginObject();
    j.Key("Values");
    j.BeginArray();
    for (int lab = 1; lab <= labs; ++lab) {
        j.Number(m.Values(lab, lv));
    }
    j.EndArray();
    j.Key("ValueCount");
    j.Integer(m.ValueCount(lv));
    j.Key("Critical5");
    j.Number(m.Critical(lv, TSignificanceLevel::FivePercent));
    j.Key("Critical1");
    j.Number(m.Critical(lv, TSignificanceLevel::OnePercent));
    j.Key("Marks");
    j.BeginArray();
    for (int lab = 1; lab <= labs; ++lab) {
        j.String(m.MarkText(lab, lv));
    }
    j.EndArray();
    j.EndObject();
}

// A level's histogram: the class width, the counts of the 17 classes and
// the G tests with their upper-tail probabilities (null for a fit that was
// dropped); null for a level without spread.
void WriteHistogram(JsonWriter& j, const THistogramLevel& h) {
    if (!h.HasSpread) {
        j.Null();
        return;
    }
    j.BeginObject();
    j.Key("ClassWidth");
    j.Number(h.ClassWidth);
    j.Key("Counts");
    j.BeginArray();
    for (const auto& c : h.Classes) {
        j.Number(c.Count);
    }
    j.EndArray();
    j.Key("GNormal");
    j.Number(h.GNormal);
    j.Key("pNormal");
    j.Number(h.PNormal);
    j.Key("GLognormal");
    j.Number(h.LognormalOK ? h.GLognormal : MissingValue);
    j.Key("pLognormal");
    j.Number(h.LognormalOK ? h.PLognormal : MissingValue);
    j.EndObject();
}

// A level's method evaluation with the settings in force: the groups in the
// document's order (the group without code has the code ""), the count and
// the statistics (null where they were not or could not be computed).
void WriteMethodEvaluation(JsonWriter& j, Program& program, int lv) {
    TMethodEval e(program, lv);
    e.Calculate(false);
    j.BeginObject();
    j.Key("Groups");
    j.BeginArray();
    for (int g = 0; g < e.MethodCodes.Count(); ++g) {
        const Tnxs& t = e.Groups[static_cast<std::size_t>(g)];
        j.BeginObject();
        j.Key("Code");
        j.String(e.MethodCodes[g]);
        j.Key("N");
        j.Integer(t.N);
        j.Key("Mean");
        j.Number(t.Mean);
        j.Key("SD");
        j.Number(t.SD);
        j.EndObject();
    }
    j.EndArray();
    j.Key("TotalN");
    j.Integer(e.TotalN);
    for (const auto& [name, value] :
         {std::pair<const char*, double>{"B", e.B}, {"PB", e.PB}, {"L", e.L}, {"PL", e.PL},
          {"Z", e.Z}, {"PZ", e.PZ}, {"H", e.H}, {"PH", e.PH}}) {
        j.Key(name);
        j.Number(value);
    }
    j.EndObject();
}

const char* DesignName(DesignKind d) {
    switch (d) {
    case dkSplitLevel:
        return "split level";
    case dkUniformLevel:
        return "uniform level";
    default:
        return "none";
    }
}

void WriteLevel(JsonWriter& j, const DataType& s, const TDescriptiveStatistics& d, int lv) {
    const TLevel& l = s.Level(lv);
    const auto slot = TDescriptiveStatistics::Slot(lv);
    j.BeginObject();
    j.Key("Level");
    j.Integer(lv);
    j.Key("LevelName");
    j.String(l.LevelName);
    if (s.Design == dkSplitLevel) {
        j.Key("SampleIds");
        j.BeginArray();
        for (int r = 1; r <= s.NoOfReplicates; ++r) {
            j.String(l.SampleId(r));
        }
        j.EndArray();
        j.Key("Spiking");
        j.Number(l.Spiking);
        j.Key("SpikedSample");
        j.Integer(l.SpikedSample);
    }
    j.Key("NominalValue");
    j.Number(l.NominalValue);
    j.Key("Decimals");
    j.Integer(l.Decimals);
    j.Key("MaxDecimals");
    j.Integer(l.MaxDecimals);
    j.Key("AllLabsIncomplete");
    j.Bool(l.AllLabsIncomplete);
    j.Key("NoOfValidLabs");
    j.Integer(d.NoOfValidLabs[slot]);
    j.Key("NoOfGrubbsLabs");
    j.Integer(d.NoOfGrubbsLabs[slot]);
    j.Key("GrandMean");
    j.Number(d.GrandMean[slot]);
    j.Key("RepeatVar");
    j.Number(d.RepeatVar[slot]);
    j.Key("BetweenMeanSquare");
    j.Number(d.BetweenMeanSquare[slot]);
    j.Key("BetweenLabVar");
    j.Number(d.BetweenLabVar[slot]);
    j.Key("RepeatCV");
    j.Number(d.RepeatCV[slot]);
    j.Key("BetweenLabCV");
    j.Number(d.BetweenLabCV[slot]);
    j.Key("CochranStat");
    j.Number(d.CochranStat[slot]);
    j.Key("GrubbsStat");
    j.Number(d.GrubbsStat[slot]);
    j.Key("Labs");
    j.BeginArray();
    for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
        j.BeginObject();
        j.Key("RandCode");
        j.String(l.GetRandCode(lab));
        j.Key("RegLabNo");
        j.String(l.GetRegLabNo(lab));
        j.Key("MethodCode");
        j.String(l.GetMethodCode(lab));
        j.Key("Mark");
        j.String(std::string(1, l.GetMark(lab)));
        j.Key("Valid");
        j.Bool(l.LabValid(lab));
        j.Key("Results");
        j.BeginArray();
        for (int r = 1; r <= s.NoOfReplicates; ++r) {
            const TResult& res = l.GetResult(lab, r);
            j.BeginObject();
            j.Key("Flag");
            j.String(std::string(1, res.Flag));
            j.Key("Value");
            j.Number(res.Value);
            j.Key("Decimals");
            j.Integer(res.Decimals);
            j.EndObject();
        }
        j.EndArray();
        j.Key("N");
        j.Integer(d.N(lv, lab));
        j.Key("Mean");
        j.Number(d.Mean(lv, lab));
        j.Key("Variance");
        j.Number(d.Variance(lv, lab));
        j.Key("SD");
        j.Number(d.SD(lv, lab));
        j.Key("Difference");
        j.Number(d.Difference(lv, lab));
        j.EndObject();
    }
    j.EndArray();
    j.EndObject();
}

// Whether the weight function can be made: more than one level, every one
// with an assigned value, at least two of them different.
bool WeightsApply(const DataType& s) {
    if (s.NoOfLevels < 2) {
        return false;
    }
    bool differ = false;
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        const double mu = s.Level(lv).NominalValue;
        if (mu == MissingValue) {
            return false;
        }
        differ = differ || mu != s.Level(1).NominalValue;
    }
    return differ;
}

// The weight function with the proposed relation, or the one that the
// program's choice (--weight-relation) takes; null where it cannot be made.
void WriteWeights(JsonWriter& j, Program& program) {
    const DataType& s = *program.CurrentStudy;
    if (!WeightsApply(s)) {
        j.Null();
        return;
    }
    TWeights& w = WeightsOf(program);
    w.Clear();
    w.Calculate(program);
    if (w.Determined) {
        w.ComputeWeights(program);
        if (program.ChooseWeightRelation && !program.ChooseWeightRelation(program, w)) {
            w.CurrentRelation = w.BestRelation;
            w.ComputeWeights(program);
            w.Determined = false;
        }
    }
    auto numbers = [&](const char* key, const auto& values) {
        j.Key(key);
        j.BeginArray();
        for (const double v : values) {
            j.Number(v);
        }
        j.EndArray();
    };
    j.BeginObject();
    numbers("Intercept", w.Intercept);
    numbers("Slope", w.Slope);
    numbers("RSquared", w.RSquared);
    j.Key("RelationValid");
    j.BeginArray();
    for (const bool v : w.RelationValid) {
        j.Bool(v);
    }
    j.EndArray();
    j.Key("BestRelation");
    if (w.BestRelation < 0) {
        j.Null();
    } else {
        j.Integer(w.BestRelation);
    }
    j.Key("CurrentRelation");
    if (w.Determined) {
        j.Integer(w.CurrentRelation);
    } else {
        j.Null();
    }
    j.Key("Determined");
    j.Bool(w.Determined);
    j.Key("WeightOfLevel");
    j.BeginArray();
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        j.Number(w.Determined ? w.WeightOfLevel[static_cast<std::size_t>(lv)] : MissingValue);
    }
    j.EndArray();
    j.EndObject();
}

// The regression of every laboratory under that weight function; null
// without one or without a line.
void WriteRegression(JsonWriter& j, Program& program) {
    if (!program.Weights || !program.Weights->Determined) {
        j.Null();
        return;
    }
    TRegression r;
    try {
        if (r.Calculate(program) != TRegressionFigures::TFitResult::Fitted) {
            j.Null();
            return;
        }
    } catch (const EVeltrioError&) {
        j.Null();
        return;
    }
    j.BeginObject();
    const std::pair<const char*, double> figures[] = {
        {"Alpha", r.Alpha},           {"Beta", r.Beta},         {"Gamma", r.Gamma},
        {"C11", r.C11},               {"C22", r.C22},           {"C12", r.C12},
        {"SAK1", r.SAK1},             {"SAKo", r.SAKo},         {"SAK2", r.SAK2},
        {"LackOfFitF", r.LackOfFitF}, {"LackOfFitP", r.LackOfFitP}, {"SlopeT", r.SlopeT},
        {"SlopeP", r.SlopeP},         {"BiasT", r.BiasT},       {"BiasP", r.BiasP},
        {"IdentityF", r.IdentityF},   {"IdentityP", r.IdentityP}};
    for (const auto& [key, value] : figures) {
        j.Key(key);
        j.Number(value);
    }
    j.Key("N");
    j.Integer(r.N);
    j.EndObject();
}

const char* ProblemName(TScoreProblem problem) {
    switch (problem) {
    case TScoreProblem::None:
        return nullptr;
    case TScoreProblem::TooFewLaboratories:
        return "TooFewLaboratories";
    case TScoreProblem::NoAssignedValue:
        return "NoAssignedValue";
    case TScoreProblem::NoSigma:
        return "NoSigma";
    }
    return nullptr;
}

// The performance scores of a level or sample: X, sigma_pt, u(X), the
// figures of Algorithm A, and z and z' of every laboratory in file order
// (null where not formed).
void WriteScores(JsonWriter& j, const TScoreColumn& c) {
    j.BeginObject();
    if (c.Sample > 0) {
        j.Key("Sample");
        j.String(c.Name);
    }
    j.Key("AssignedValue");
    j.Number(c.AssignedValue);
    j.Key("AssignedFromFile");
    j.Bool(c.AssignedFromFile);
    j.Key("SigmaPT");
    j.Number(c.SigmaPT);
    j.Key("UncertaintyOfAssigned");
    j.Number(c.UncertaintyOfAssigned);
    j.Key("AlgorithmA");
    j.BeginObject();
    j.Key("Mean");
    j.Number(c.Consensus.Mean);
    j.Key("SD");
    j.Number(c.Consensus.SD);
    j.Key("Rounds");
    j.Integer(c.Consensus.Rounds);
    j.Key("Converged");
    j.Bool(c.Consensus.Converged);
    j.Key("NoOfLabs");
    j.Integer(c.Consensus.Count);
    j.EndObject();
    j.Key("RecommendZPrime");
    j.Bool(c.RecommendZPrime);
    j.Key("Problem");
    if (const char* name = ProblemName(c.Problem)) {
        j.String(name);
    } else {
        j.Null();
    }
    for (const auto& [key, values] : {std::pair{"z", &c.Z}, std::pair{"zPrime", &c.ZPrime}}) {
        j.Key(key);
        j.BeginArray();
        for (double v : *values) {
            j.Number(v);
        }
        j.EndArray();
    }
    j.EndObject();
}

} // namespace

std::string StudyToJson(const Program& program) {
    JsonWriter j;
    j.BeginObject();
    if (!program.CurrentStudy || !program.Stats) {
        j.Key("loaded");
        j.Bool(false);
        j.EndObject();
        return j.str();
    }
    const DataType& s = *program.CurrentStudy;
    j.Key("loaded");
    j.Bool(true);
    j.Key("File");
    j.String(program.CurrentFile.filename().string());
    j.Key("Design");
    j.String(DesignName(s.Design));
    j.Key("Substance");
    j.String(s.Substance);
    j.Key("Unit");
    j.String(s.Unit);
    j.Key("TestId");
    j.String(s.TestId);
    j.Key("NoOfLabs");
    j.Integer(s.NoOfLabs);
    j.Key("NoOfReplicates");
    j.Integer(s.NoOfReplicates);
    j.Key("NoOfLevels");
    j.Integer(s.NoOfLevels);
    j.Key("Transformation");
    j.Integer(s.Transformation);
    j.Key("FileTransformation");
    j.Integer(s.FileTransformation);
    j.Key("ExcludedCodes");
    j.BeginArray();
    for (int i = 1; i <= program.ExcludedCodes.Count(); ++i) {
        j.String(program.ExcludedCodes.Code(i));
    }
    j.EndArray();
    j.Key("CochranDone");
    j.Bool(program.Outliers.CochranDone);
    j.Key("GrubbsDone");
    j.Bool(program.Outliers.GrubbsDone);
    j.Key("Levels");
    j.BeginArray();
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        WriteLevel(j, s, *program.Stats, lv);
    }
    j.EndArray();
    j.EndObject();
    return j.str();
}

std::string EvaluationToJson(Program& program) {
    JsonWriter j;
    j.BeginObject();
    if (!program.CurrentStudy || !program.Stats) {
        j.Key("loaded");
        j.Bool(false);
        j.EndObject();
        return j.str();
    }
    EvaluateStudy(program);
    const DataType& s = *program.CurrentStudy;
    const TDescriptiveStatistics& d = *program.Stats;
    const TANOVA& a = ANOVAOf(program);
    // Mandel's statistics with the marks that the outlier tests left.
    TMandelH mandelH(program);
    TMandelK mandelK(program);
    mandelH.Calculate();
    mandelK.Calculate();
    TRecoveryControl recovery;
    recovery.ComputeRecovery(program);
    const TSplitControl& split = SplitControlOf(program);
    THistogram histogram;
    histogram.Calculate(program);
    const bool splitLevel = s.Design == dkSplitLevel;
    TISOGuide guide;
    guide.Calculate(program);
    // With the marks that the outlier tests left, as the command would run.
    const auto scores = ComputePerformanceScores(
        program, program.ScoreOptions ? *program.ScoreOptions : TScoreOptions{});
    j.Key("loaded");
    j.Bool(true);
    j.Key("File");
    j.String(program.CurrentFile.filename().string());
    j.Key("DiscardOutlierTests");
    j.Bool(program.Settings.DiscardOutlierTests);
    j.Key("AutoSplitCorrection");
    j.Bool(program.Settings.AutoSplitCorrection);
    j.Key("SignificantLevels");
    j.Integer(split.SignificantLevels);
    j.Key("Weights");
    WriteWeights(j, program);
    j.Key("Regression");
    WriteRegression(j, program);
    j.Key("ExcludedLabs");
    j.BeginArray();
    for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
        if (program.ExcludedLabs.Contains(lab)) {
            j.String(s.Level(1).GetRandCode(lab));
        }
    }
    j.EndArray();
    j.Key("Levels");
    j.BeginArray();
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        const TLevel& l = s.Level(lv);
        const auto slot = TDescriptiveStatistics::Slot(lv);
        const auto i = static_cast<std::size_t>(lv);
        j.BeginObject();
        j.Key("Level");
        j.Integer(lv);
        j.Key("LevelName");
        j.String(l.LevelName);
        j.Key("Marks");
        j.BeginArray();
        for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
            j.BeginObject();
            j.Key("RandCode");
            j.String(l.GetRandCode(lab));
            j.Key("Mark");
            j.String(std::string(1, l.GetMark(lab)));
            j.EndObject();
        }
        j.EndArray();
        j.Key("CochranStat");
        j.Number(d.CochranStat[slot]);
        j.Key("GrubbsStat");
        j.Number(d.GrubbsStat[slot]);
        j.Key("NoOfGrubbsLabs");
        j.Integer(d.NoOfGrubbsLabs[slot]);
        j.Key("NoOfValidLabs");
        j.Integer(d.NoOfValidLabs[slot]);
        j.Key("Sr");
        j.Number(a.Sr[i]);
        j.Key("SL");
        j.Number(a.SL[i]);
        j.Key("SR");
        j.Number(a.SR[i]);
        j.Key("r");
        j.Number(a.RepeatabilityLimit(lv));
        j.Key("R");
        j.Number(a.ReproducibilityLimit(lv));
        j.Key("MandelH");
        WriteMandel(j, mandelH, lv, s.NoOfLabs);
        j.Key("MandelK");
        WriteMandel(j, mandelK, lv, s.NoOfLabs);
        j.Key("RecoveryControl");
        WriteTest(j,
                  {{"MeanOfMeans", recovery.MeanOfMeans[i]},
                   {"TValue", recovery.TValue[i]},
                   {"PValue", recovery.PValue[i]},
                   {"SD", recovery.SD[i]},
                   {"Variance", recovery.Variance[i]}},
                  recovery.NoOfLabs[i]);
        j.Key("ISOGuide");
        j.BeginObject();
        j.Key("LabCount");
        j.Integer(guide.LabCount[i]);
        j.Key("ReplicateCount");
        j.Integer(guide.ReplicateCount[i]);
        for (const auto& [key, value] :
             {std::pair<const char*, double>{"LevelMean", guide.LevelMean[i]},
              {"StdError", guide.StdError[i]},
              {"LowerLimit", guide.LowerLimit[i]},
              {"UpperLimit", guide.UpperLimit[i]}}) {
            j.Key(key);
            j.Number(value);
        }
        j.EndObject();
        if (splitLevel) {
            j.Key("SplitControl");
            WriteTest(j,
                      {{"MeanDifference", split.MeanDifference[i]},
                       {"TValue", split.TValue[i]},
                       {"PValue", split.PValue[i]},
                       {"DiffSD", split.DiffSD[i]},
                       {"DiffVariance", split.DiffVariance[i]}},
                      split.NoOfLabs[i]);
        }
        j.Key("MethodEvaluation");
        WriteMethodEvaluation(j, program, lv);
        j.Key("Histogram");
        WriteHistogram(j, histogram.Levels[i]);
        // Per level; in a split-level study an array of its two samples.
        j.Key("Scores");
        if (splitLevel) {
            j.BeginArray();
        }
        for (const TScoreColumn& c : scores) {
            if (c.Level == lv) {
                WriteScores(j, c);
            }
        }
        if (splitLevel) {
            j.EndArray();
        }
        j.EndObject();
    }
    j.EndArray();
    j.EndObject();
    return j.str();
}

} // namespace veltrio
