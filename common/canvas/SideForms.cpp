#include "SideForms.h"

#include "AppServices.h"
#include "FormParts.h"
#include "GraphForm.h"
#include "GraphWindowParts.h"
#include "PlotOutput.h"
#include "QPainterCanvas.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QPushButton>

namespace timegraph {

ChoiceForm::ChoiceForm(QSize client, QRect group, const std::vector<QString>& names, QRect okButton, QWidget* parent)
    : ModalForm(parent)
{
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(gyroapp::BlankTitle());
    setFont(canvas::ToQFont({"MS Sans Serif", 11}));
    // Its place is beside the graph window, set whenever that window shows it.
    PlaceWindow(client, pos());
    Panel1 = new QFrame(this);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setGeometry(QRect(QPoint(0, 0), client));
    GroupBox1 = new QGroupBox(QStringLiteral("Какие графики выводить"), Panel1);
    GroupBox1->setGeometry(group);
    for (std::size_t i = 0; i < names.size(); ++i) {
        auto* box = new QCheckBox(names[i], GroupBox1);
        box->setGeometry(8, 16 + 16 * static_cast<int>(i), i < 2 ? 97 : 213, 17);
        CheckBoxes.push_back(box);
    }
    CheckBoxes[0]->setChecked(true);
    // Tab order: the first column of the layout they were drawn in, then the rest.
    const std::size_t order[] = {0, 2, 1, 3};
    for (std::size_t k = 0; k + 1 < std::size(order) && order[k + 1] < CheckBoxes.size(); ++k)
        QWidget::setTabOrder(CheckBoxes[order[k]], CheckBoxes[order[k + 1]]);
    for (std::size_t i = 3; i + 1 < CheckBoxes.size(); ++i)
        QWidget::setTabOrder(CheckBoxes[i], CheckBoxes[i + 1]);
    Button1 = MakeButton(Panel1, QStringLiteral("OK"), okButton);
    QWidget::setTabOrder(CheckBoxes.back(), Button1);
    gyroapp::ConnectHandler(Button1, &QPushButton::clicked, this, &ChoiceForm::Button1Click);
}

void ChoiceForm::Button1Click() { SetModalResult(gyroapp::mrOk); }

PortraitForm::PortraitForm(const QString& menuTitle, QWidget* parent) : ModalForm(parent)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Фазовый портрет"));
    setFont(canvas::ToQFont({"MS Sans Serif", 11}));
    PlaceWindow({621, 473}, {86, 87});
    setFixedSize(621, 473);
    canvas::MakeBevel(this, {0, 0, 621, 473}, true);
    auto* panel1 = new QFrame(this);
    panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel1->setGeometry(8, 8, 601, 417);
    auto* panel2 = new QFrame(panel1);
    panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel2->setGeometry(8, 8, 585, 401);
    PaintBox1 = new canvas::PaintBox(panel2);
    PaintBox1->setGeometry(8, 8, 569, 385);
    PaintBox1->OnPaint = [this](canvas::Canvas& c) { PaintBox1Paint(c); };
    PlotMenu1 = new canvas::PlotMenu(PaintBox1, [this](canvas::Canvas& c) { PaintBox1Paint(c); }, menuTitle,
                                     QStringLiteral("Фазовый портрет"));
    Button3 = MakeButton(this, QStringLiteral("Закрыть"), {536, 432, 75, 25});
    gyroapp::ConnectHandler(Button3, &QPushButton::clicked, this, &PortraitForm::Button3Click);
}

void PortraitForm::Button3Click() { SetModalResult(gyroapp::mrOk); }

std::optional<TimeSpan> PortraitForm::FollowedSpan() const
{
    return graph_ ? graph_->Zoom().Span() : std::nullopt;
}

} // namespace timegraph
