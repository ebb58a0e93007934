#pragma once

#include "GimbalModel.h"
#include "GimbalSimulation.h"

#include "RunComparison.h"

#include <QWidget>

#include <string>

class QFrame;
class QPushButton;
class QTimer;

namespace veltrami {

class GimbalPicture;

// Main window "Моделирование гироскопа с кардановым подвесом ротора". Owns the model
// (parameters, series, extremes) and the animation timer that the 3D view drives.
// Closing it ends the program.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    // dataPath names the parameter file; empty means veltrami.dat beside the executable.
    explicit TForm1(const std::string& dataPath = {});
    ~TForm1() override;

    void FormShow();
    void Button1Click();  // "Параметры расчета"
    void Button2Click();  // "Рассчитать!"
    void Button3Click();  // "Визуализация"
    void Timer1Timer();
    // Moment indicators of the 3D view for sample k.
    void ShowMomentLevels(int k);

    // Reads the data file into the parameters; false when it cannot be opened.
    bool LoadParameters();
    // Writes the parameters into the parameter window's fields.
    void WriteParameters();
    // Reads the fields back, in field order; a field that is not a number raises the
    // conversion error with the fields before it already taken.
    void ReadParameters();
    // One run under the hourglass; its refusal or divergence is told to the user.
    // True when the series hold a run to show.
    bool Calculate();

    // Whether the latest run recorded sample k.
    bool SampleRecorded(int k) const;
    // The last sample the animation shows: two before the end, and never past what the run recorded.
    int LastShownSample() const;

    QFrame* Panel1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QTimer* Timer1 = nullptr;
    QFrame* Bevel1 = nullptr;
    GimbalPicture* Image1 = nullptr;

    int CurrentSample = 0;
    std::string DataPath;
    GimbalModel Model;
    // The model as the parts both programs' windows share see it.
    GimbalSimulation Simulation{Model};
    ModelParameters& Params = Model.Params;
    // A run kept for the graph and phase-portrait windows to compare later runs with.
    comparison::RunComparison Comparison;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Fields to parameters, new series, one run: the path of "Рассчитать!" and of an accepted window.
    void Recalculate();

    bool shown_ = false;
};

} // namespace veltrami
