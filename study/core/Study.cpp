#include "Study.h"

#include "CounterRng.h"
#include "ModelFactory.h"
#include "RunTool.h"

#include <cctype>
#include <cmath>
#include <filesystem>
#include <limits>
#include <set>

namespace study {

StudyError::StudyError(std::string place, const std::string& what)
    : std::runtime_error(place.empty() ? what : "«" + place + "»: " + what), place_(std::move(place))
{
}

bool NeedsFrequency(Stat stat)
{
    return stat == Stat::Amplitude || stat == Stat::Phase || stat == Stat::InPhase || stat == Stat::Quadrature;
}

namespace {

// Runs no study can hold, confirmed or not.
constexpr long long AbsoluteRunLimit = 1000000000;

std::string Join(const std::string& place, const std::string& key)
{
    return place.empty() ? key : place + "." + key;
}

double Number(const Json& value, const std::string& place)
{
    if (!value.is_number())
        throw StudyError(place, "ожидается число");
    const double x = value.get<double>();
    if (!std::isfinite(x))
        throw StudyError(place, "ожидается конечное число");
    return x;
}

long long WholeNumber(const Json& value, const std::string& place, long long least)
{
    if (!value.is_number_integer() && !(value.is_number() && std::floor(value.get<double>()) == value.get<double>()))
        throw StudyError(place, "ожидается целое число");
    const double x = value.get<double>();
    if (!(x >= static_cast<double>(least)) || x > 9.0e15)
        throw StudyError(place, "ожидается целое число не меньше " + std::to_string(least));
    return static_cast<long long>(x);
}

void OnlyKeys(const Json& object, const std::string& place, std::initializer_list<const char*> keys)
{
    for (const auto& [key, value] : object.items()) {
        bool known = false;
        for (const char* k : keys)
            known = known || key == k;
        if (!known)
            throw StudyError(Join(place, key), "неизвестный ключ");
    }
}

const Json& Object(const Json& value, const std::string& place)
{
    if (!value.is_object())
        throw StudyError(place, "ожидается объект JSON { ... }");
    return value;
}

int Field(const gyromodel::SimulationModel& model, const std::string& name, const std::string& place)
{
    const int k = model.FindParameter(name);
    if (k < 0)
        throw StudyError(place, "неизвестное поле модели " + std::string(model.Name()) + " '" + name + "'");
    return k;
}

// [a, b, n] of a linspace or logspace into the axis; its values are made when asked for.
void Spaced(Axis& axis, const Json& spec, const std::string& place)
{
    if (!spec.is_array() || spec.size() != 3)
        throw StudyError(place, "ожидается [начало, конец, число значений]");
    axis.first = Number(spec[0], place + "[0]");
    axis.last = Number(spec[1], place + "[1]");
    axis.spaced = WholeNumber(spec[2], place + "[2]", 1);
    if (axis.spaced > AbsoluteRunLimit)
        throw StudyError(place + "[2]", "слишком много значений");
    if (axis.logarithmic && !(axis.first > 0 && axis.last > 0))
        throw StudyError(place, "концы логарифмической шкалы должны быть положительными");
}

Axis ParseAxis(const gyromodel::SimulationModel& model, const std::string& field, const Json& spec,
               const std::string& place)
{
    Axis axis;
    axis.field = field;
    axis.index = Field(model, field, place);
    if (spec.is_array()) {
        if (spec.empty())
            throw StudyError(place, "пустой список значений");
        for (std::size_t k = 0; k < spec.size(); ++k)
            axis.listed.push_back(Number(spec[k], place + "[" + std::to_string(k) + "]"));
    } else if (spec.is_object() && spec.size() == 1 && (spec.contains("linspace") || spec.contains("logspace"))) {
        axis.logarithmic = spec.contains("logspace");
        const char* key = axis.logarithmic ? "logspace" : "linspace";
        Spaced(axis, spec.at(key), Join(place, key));
    } else {
        throw StudyError(place, "ожидается список значений, {\"linspace\": [a, b, n]} или {\"logspace\": [a, b, n]}");
    }
    return axis;
}

Scatter ParseScatter(const gyromodel::SimulationModel& model, const std::string& field, const Json& spec,
                     const std::string& place)
{
    Object(spec, place);
    for (const auto& [key, value] : spec.items())
        if (key != "normal" && key != "uniform" && key != "relative")
            throw StudyError(Join(place, key), "неизвестное распределение: ожидается \"normal\" или \"uniform\"");
    Scatter s;
    s.field = field;
    s.index = Field(model, field, place);
    const bool normal = spec.contains("normal"), uniform = spec.contains("uniform");
    if (normal == uniform)
        throw StudyError(place, "ожидается ровно одно распределение: \"normal\": [среднее, ско] или \"uniform\": [от, до]");
    const char* key = normal ? "normal" : "uniform";
    const std::string at = Join(place, key);
    const Json& pair = spec.at(key);
    if (!pair.is_array() || pair.size() != 2)
        throw StudyError(at, normal ? "ожидается [среднее, ско]" : "ожидается [от, до]");
    s.distribution = normal ? Distribution::Normal : Distribution::Uniform;
    s.a = Number(pair[0], at + "[0]");
    s.b = Number(pair[1], at + "[1]");
    if (normal && s.b < 0)
        throw StudyError(at + "[1]", "среднеквадратичное отклонение не может быть отрицательным");
    if (!normal && s.b < s.a)
        throw StudyError(at, "верхний конец меньше нижнего");
    if (spec.contains("relative")) {
        if (!spec.at("relative").is_boolean())
            throw StudyError(Join(place, "relative"), "ожидается true или false");
        s.relative = spec.at("relative").get<bool>();
    }
    return s;
}

Stat ParseStat(const Json& value, const std::string& place)
{
    static const std::pair<const char*, Stat> names[] = {
        {"max", Stat::Max}, {"min", Stat::Min}, {"mean", Stat::Mean}, {"rms", Stat::Rms},
        {"p2p", Stat::P2p}, {"final", Stat::Final}, {"amplitude", Stat::Amplitude}, {"phase", Stat::Phase},
        {"inphase", Stat::InPhase}, {"quadrature", Stat::Quadrature}};
    if (value.is_string())
        for (const auto& [name, stat] : names)
            if (value.get<std::string>() == name)
                return stat;
    throw StudyError(place, "неизвестная статистика: ожидается max, min, mean, rms, p2p, final, amplitude, phase, "
                            "inphase или quadrature");
}

bool PlainName(const std::string& name)
{
    if (name.empty())
        return false;
    for (char c : name)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-'))
            return false;
    return true;
}

Figure ParseFigure(const gyromodel::SimulationModel& model, const std::string& name, const Json& spec,
                   const std::string& place)
{
    if (!PlainName(name))
        throw StudyError(place, "имя показателя может состоять только из латинских букв, цифр, '_' и '-'");
    Object(spec, place);
    OnlyKeys(spec, place, {"series", "stat", "from", "frequency"});
    Figure f;
    f.name = name;
    if (!spec.contains("series") || !spec.at("series").is_string())
        throw StudyError(Join(place, "series"), "ожидается имя записываемой серии");
    f.series = spec.at("series").get<std::string>();
    f.seriesIndex = model.FindSeries(f.series);
    if (f.seriesIndex < 0) {
        std::string known;
        for (std::string_view s : model.AllSeriesNames())
            known += (known.empty() ? "" : ", ") + std::string(s);
        throw StudyError(Join(place, "series"), "неизвестная серия '" + f.series + "' (есть: " + known + ")");
    }
    if (!spec.contains("stat"))
        throw StudyError(Join(place, "stat"), "не задана статистика");
    f.stat = ParseStat(spec.at("stat"), Join(place, "stat"));
    if (spec.contains("from")) {
        f.from = Number(spec.at("from"), Join(place, "from"));
        if (f.from < 0 || f.from >= 1)
            throw StudyError(Join(place, "from"), "доля времени должна быть не меньше 0 и меньше 1");
    }
    if (NeedsFrequency(f.stat) && !spec.contains("frequency"))
        throw StudyError(Join(place, "frequency"), "для этой статистики нужна частота (число или имя поля)");
    if (spec.contains("frequency")) {
        const Json& w = spec.at("frequency");
        if (w.is_string()) {
            f.frequencyField = Field(model, w.get<std::string>(), Join(place, "frequency"));
        } else {
            f.frequency = Number(w, Join(place, "frequency"));
            if (!(f.frequency > 0))
                throw StudyError(Join(place, "frequency"), "частота должна быть положительной");
        }
    }
    return f;
}

int FigureIndex(const std::vector<Figure>& figures, const Json& name, const std::string& place)
{
    if (name.is_string())
        for (std::size_t k = 0; k < figures.size(); ++k)
            if (figures[k].name == name.get<std::string>())
                return static_cast<int>(k);
    throw StudyError(place, "ожидается имя показателя из \"figures\"");
}

ScaleFactor ParseScaleFactor(const Study& s, const Json& spec, const std::string& place)
{
    Object(spec, place);
    OnlyKeys(spec, place, {"rate", "responses", "bias"});
    ScaleFactor sf;
    if (!spec.contains("rate") || !spec.at("rate").is_string())
        throw StudyError(Join(place, "rate"), "ожидается имя поля угловой скорости из \"grid\"");
    sf.rate = spec.at("rate").get<std::string>();
    bool swept = false;
    for (const Axis& axis : s.grid)
        swept = swept || axis.field == sf.rate;
    if (!swept)
        throw StudyError(Join(place, "rate"), "поле '" + sf.rate + "' не меняется в \"grid\"");
    if (s.grid.size() > 2)
        throw StudyError(place, "характеристика строится по скорости и не более чем одному другому полю");
    const std::string at = Join(place, "responses");
    if (!spec.contains("responses") || !spec.at("responses").is_array() || spec.at("responses").empty())
        throw StudyError(at, "ожидается список имен показателей");
    for (std::size_t k = 0; k < spec.at("responses").size(); ++k)
        sf.responses.push_back(FigureIndex(s.figures, spec.at("responses")[k], at + "[" + std::to_string(k) + "]"));
    if (spec.contains("bias"))
        sf.bias = FigureIndex(s.figures, spec.at("bias"), Join(place, "bias"));
    return sf;
}

} // namespace

Study ParseStudy(const Json& source, const ParseOptions& options)
{
    Object(source, {});
    OnlyKeys(source, {}, {"model", "base", "set", "grid", "montecarlo", "figures", "scale_factor"});
    Study s;
    s.source = source;
    if (!source.contains("model") || !source.at("model").is_string())
        throw StudyError("model", "не задана модель: \"veltrami\" или \"pelisond\"");
    s.model = source.at("model").get<std::string>();
    const auto model = gyromodel::MakeModel(s.model);
    if (!model)
        throw StudyError("model", "неизвестная модель '" + s.model + "': ожидается \"veltrami\" или \"pelisond\"");

    std::string path = options.programDirectory + std::string(model->DataFileName());
    if (source.contains("base")) {
        if (!source.at("base").is_string() || source.at("base").get<std::string>().empty())
            throw StudyError("base", "ожидается путь к файлу данных");
        const std::filesystem::path base = source.at("base").get<std::string>();
        path = (base.is_absolute() ? base : std::filesystem::path(options.studyDirectory) / base).string();
        s.basePath = path;
    }
    if (options.loadBase) {
        // Judged as the run tools judge it: a file that is no parameter file is refused, one cut short is
        // a warning naming the first field not read.
        const std::string place = source.contains("base") ? "base" : "model";
        const runtool::LoadVerdict verdict = runtool::JudgeLoad(*model, path, model->Load(path));
        if (verdict.kind == runtool::LoadVerdict::Unusable || (verdict.kind == runtool::LoadVerdict::CutShort && options.strict))
            throw StudyError(place, verdict.text);
        if (verdict.kind == runtool::LoadVerdict::CutShort)
            s.warnings.push_back("«" + place + "»: " + verdict.text);
    }
    // The base file's values as the windows show them at start-up; set, swept and drawn values
    // are used as given.
    model->RoundTripThroughDisplay();

    if (source.contains("set")) {
        for (const auto& [field, value] : Object(source.at("set"), "set").items()) {
            const std::string place = Join("set", field);
            const int k = Field(*model, field, place);
            s.set.emplace_back(k, Number(value, place));
            model->SetParameter(static_cast<std::size_t>(k), s.set.back().second);
        }
    }
    for (std::size_t k = 0; k < model->ParameterCount(); ++k)
        s.baseValues.push_back(model->Parameter(k));

    const bool grid = source.contains("grid"), montecarlo = source.contains("montecarlo");
    if (grid && montecarlo)
        throw StudyError("montecarlo", "\"grid\" и \"montecarlo\" не задаются вместе");
    std::set<int> varied;
    if (grid) {
        const Json& g = Object(source.at("grid"), "grid");
        if (g.empty())
            throw StudyError("grid", "не задано ни одного поля");
        for (const auto& [field, spec] : g.items()) {
            s.grid.push_back(ParseAxis(*model, field, spec, Join("grid", field)));
            varied.insert(s.grid.back().index);
        }
    }
    if (montecarlo) {
        const Json& m = Object(source.at("montecarlo"), "montecarlo");
        OnlyKeys(m, "montecarlo", {"count", "seed", "vary"});
        MonteCarlo mc;
        if (!m.contains("count"))
            throw StudyError("montecarlo.count", "не задано число запусков");
        mc.count = WholeNumber(m.at("count"), "montecarlo.count", 1);
        if (m.contains("seed"))
            mc.seed = static_cast<std::uint64_t>(WholeNumber(m.at("seed"), "montecarlo.seed", 0));
        if (!m.contains("vary") || Object(m.at("vary"), "montecarlo.vary").empty())
            throw StudyError("montecarlo.vary", "не задано ни одного поля");
        for (const auto& [field, spec] : m.at("vary").items()) {
            mc.vary.push_back(ParseScatter(*model, field, spec, Join("montecarlo.vary", field)));
            varied.insert(mc.vary.back().index);
        }
        s.monteCarlo = std::move(mc);
    }
    for (int k : varied)
        for (const auto& [fixed, value] : s.set)
            if (fixed == k)
                throw StudyError(Join("set", std::string(model->ParameterName(static_cast<std::size_t>(k)))),
                                 "поле и задано, и меняется");

    if (source.contains("figures")) {
        std::set<std::string> columns = {"run", "status", "message"};
        for (const std::string& field : s.VariedFields())
            columns.insert(field);
        for (const auto& [name, spec] : Object(source.at("figures"), "figures").items()) {
            s.figures.push_back(ParseFigure(*model, name, spec, Join("figures", name)));
            if (!columns.insert(name).second)
                throw StudyError(Join("figures", name), "имя показателя совпадает с другим столбцом runs.csv");
        }
    }
    if (source.contains("scale_factor")) {
        if (!grid)
            throw StudyError("scale_factor", "характеристика строится только по сетке \"grid\"");
        s.scaleFactor = ParseScaleFactor(s, source.at("scale_factor"), "scale_factor");
    }

    const long long runs = s.RunCount();
    if (runs < 0 || runs > AbsoluteRunLimit)
        throw StudyError(grid ? "grid" : "montecarlo.count", "слишком много запусков (больше 10^9)");
    return s;
}

long long Axis::Size() const
{
    return spaced > 0 ? spaced : static_cast<long long>(listed.size());
}

double Axis::Value(long long k) const
{
    if (spaced == 0)
        return listed[static_cast<std::size_t>(k)];
    const double f = spaced == 1 ? 0.0 : static_cast<double>(k) / static_cast<double>(spaced - 1);
    if (logarithmic)
        return first * std::pow(last / first, f);
    return k == spaced - 1 ? last : first + (last - first) * f;
}

long long Study::RunCount() const
{
    if (monteCarlo)
        return monteCarlo->count;
    long long n = 1;
    for (const Axis& axis : grid) {
        const long long size = axis.Size();
        if (n > AbsoluteRunLimit / size)
            return -1;
        n *= size;
    }
    return n;
}

std::vector<std::string> Study::VariedFields() const
{
    std::vector<std::string> fields;
    for (const Axis& axis : grid)
        fields.push_back(axis.field);
    if (monteCarlo)
        for (const Scatter& s : monteCarlo->vary)
            fields.push_back(s.field);
    return fields;
}

std::vector<int> Study::VariedIndices() const
{
    std::vector<int> indices;
    for (const Axis& axis : grid)
        indices.push_back(axis.index);
    if (monteCarlo)
        for (const Scatter& s : monteCarlo->vary)
            indices.push_back(s.index);
    return indices;
}

std::vector<double> Study::RunValues(long long run) const
{
    std::vector<double> values;
    if (monteCarlo) {
        const auto r = static_cast<std::uint64_t>(run);
        for (std::size_t j = 0; j < monteCarlo->vary.size(); ++j) {
            const Scatter& s = monteCarlo->vary[j];
            const double draw = s.distribution == Distribution::Normal
                ? s.a + s.b * CounterNormal(monteCarlo->seed, r, j)
                : s.a + (s.b - s.a) * CounterUniform(monteCarlo->seed, r, 2 * j);
            const double base = baseValues[static_cast<std::size_t>(s.index)];
            values.push_back(s.relative ? base * (1 + draw) : draw);
        }
        return values;
    }
    // The first field changes slowest, the last fastest.
    values.resize(grid.size());
    long long rest = run;
    for (std::size_t j = grid.size(); j-- > 0;) {
        const long long size = grid[j].Size();
        values[j] = grid[j].Value(rest % size);
        rest /= size;
    }
    return values;
}

} // namespace study
