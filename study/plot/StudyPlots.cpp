#include "StudyPlots.h"

#include "NumberFormat.h"
#include "ScaleFactor.h"
#include "StudyPlot.h"

#include <cmath>
#include <map>

namespace studyplot {

namespace {

using study::RunOutcome;
using study::Study;

std::string Short(double v)
{
    return numfmt::FormatGeneral(v, 6, numfmt::PointSeparators());
}

std::string FigureTitle(const study::Figure& f)
{
    return f.name + " (" + f.series + ")";
}

NamedPlot Xy(std::string stem, XYPlot plot)
{
    std::string title = plot.title;
    return {std::move(stem), std::move(title), [plot = std::move(plot)](canvas::Canvas& c) { DrawXYPlot(c, plot); }};
}

// Each figure against the first grid field, one curve per value of the second field.
void SweepPlots(const Study& s, std::span<const RunOutcome> rows, std::vector<NamedPlot>& plots)
{
    for (std::size_t k = 0; k < s.figures.size(); ++k) {
        XYPlot plot;
        plot.title = FigureTitle(s.figures[k]) + " от " + s.grid[0].field;
        plot.xLabel = s.grid[0].field;
        plot.yLabel = s.figures[k].name;
        plot.logX = s.grid[0].logarithmic;
        std::map<double, Curve> curves;
        for (const RunOutcome& row : rows) {
            const double other = s.grid.size() > 1 ? row.values[1] : 0;
            Curve& curve = curves[other];
            if (s.grid.size() > 1)
                curve.label = s.grid[1].field + " = " + Short(other);
            curve.x.push_back(row.values[0]);
            curve.y.push_back(row.figures[k]);
        }
        for (auto& [other, curve] : curves)
            plot.curves.push_back(std::move(curve));
        plots.push_back(Xy(s.figures[k].name, std::move(plot)));
    }
}

void Histograms(const Study& s, std::span<const RunOutcome> rows, std::vector<NamedPlot>& plots)
{
    for (std::size_t k = 0; k < s.figures.size(); ++k) {
        Histogram h;
        h.title = "Распределение " + FigureTitle(s.figures[k]) + ", запусков: " + std::to_string(rows.size());
        h.xLabel = s.figures[k].name;
        for (const RunOutcome& row : rows)
            h.values.push_back(row.figures[k]);
        plots.push_back({s.figures[k].name, h.title, [h](canvas::Canvas& c) { DrawHistogram(c, h); }});
    }
}

void CharacteristicPlots(const Study& s, std::span<const RunOutcome> rows, std::vector<NamedPlot>& plots)
{
    const study::Characteristic ch = study::ComputeCharacteristic(s, rows);
    for (std::size_t r = 0; r < s.scaleFactor->responses.size(); ++r) {
        const std::string& figure = s.figures[static_cast<std::size_t>(s.scaleFactor->responses[r])].name;
        XYPlot plot;
        plot.title = "Масштабный коэффициент: " + figure + " от " + ch.rateField;
        plot.xLabel = ch.rateField;
        plot.yLabel = figure;
        for (std::size_t n = 0; n < ch.groups.size(); ++n) {
            const study::CharacteristicGroup& g = ch.groups[n];
            const study::ResponseLine& line = g.responses[r];
            const int color = static_cast<int>(n);
            Curve points{g.other ? ch.otherField + " = " + Short(*g.other) : "", line.rates, line.responses, true, false, color};
            Curve fit{"", {}, {}, false, true, color};
            if (!line.rates.empty()) {
                const auto [lo, hi] = std::minmax_element(line.rates.begin(), line.rates.end());
                for (double x : {*lo, *hi}) {
                    fit.x.push_back(x);
                    fit.y.push_back(line.scaleFactor * x + line.offset);
                }
            }
            if (ch.groups.size() == 1)
                points.label = "K = " + Short(line.scaleFactor) + ", нелинейность " + Short(line.nonlinearityPercent) + " %";
            plot.curves.push_back(std::move(points));
            plot.curves.push_back(std::move(fit));
        }
        plots.push_back(Xy("scale-factor-" + figure, std::move(plot)));

        if (!ch.otherField.empty()) {
            XYPlot against;
            against.title = "Масштабный коэффициент " + figure + " от " + ch.otherField;
            against.xLabel = ch.otherField;
            against.yLabel = "K(" + figure + ")";
            Curve curve;
            for (const study::CharacteristicGroup& g : ch.groups) {
                curve.x.push_back(*g.other);
                curve.y.push_back(g.responses[r].scaleFactor);
            }
            against.curves.push_back(std::move(curve));
            plots.push_back(Xy("scale-factor-" + figure + "-vs-" + ch.otherField, std::move(against)));
        }
    }
    if (s.scaleFactor->bias >= 0 && !ch.otherField.empty()) {
        XYPlot bias;
        bias.title = "Смещение нуля (" + s.figures[static_cast<std::size_t>(s.scaleFactor->bias)].name + ") от "
            + ch.otherField;
        bias.xLabel = ch.otherField;
        bias.yLabel = s.figures[static_cast<std::size_t>(s.scaleFactor->bias)].series;
        Curve curve;
        for (const study::CharacteristicGroup& g : ch.groups) {
            curve.x.push_back(*g.other);
            curve.y.push_back(g.bias);
        }
        bias.curves.push_back(std::move(curve));
        plots.push_back(Xy("bias-vs-" + ch.otherField, std::move(bias)));
    }
}

} // namespace

std::vector<NamedPlot> StudyPlots(const Study& s, std::span<const RunOutcome> rows)
{
    std::vector<NamedPlot> plots;
    if (s.monteCarlo)
        Histograms(s, rows, plots);
    else if (s.scaleFactor)
        CharacteristicPlots(s, rows, plots);
    else if (s.grid.size() <= 2)
        SweepPlots(s, rows, plots);
    return plots;
}

} // namespace studyplot
