#include "Input1.h"
#include "ModelParameters.h"
#include "WindowTestSupport.h"

#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using pelisond::TForm3;

TEST(ParameterWindow, ThirtyUnevenRowsStandWhereTheLayoutSays)
{
    TForm3 form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Исходные данные"));
    EXPECT_EQ(form.Panel1->size(), QSize(741, 545));
    EXPECT_EQ(form.ScrollBox1->geometry(), QRect(12, 16, 699, 477));
    EXPECT_EQ(form.ScrollBox1->widget()->size(), QSize(667, 830));
    ASSERT_EQ(form.RowCount(), 30);

    const int tops[] = {19,  45,  71,  97,  123, 149, 175, 201, 227, 253, 279, 305, 331, 357, 383,
                        409, 435, 461, 487, 514, 542, 570, 596, 622, 648, 674, 700, 727, 755, 783};
    for (int k = 1; k <= 30; ++k) {
        const auto& source = pelisond::ParameterRows[static_cast<std::size_t>(k - 1)];
        const int top = tops[k - 1];
        const bool wide = k == 20 || k == 21 || k == 22 || k >= 28;
        QLineEdit* edit = form.Edit(k);
        EXPECT_EQ(edit->objectName(), QStringLiteral("Edit%1").arg(k));
        EXPECT_EQ(edit->geometry(), QRect(8, top, wide ? 101 : 99, 21)) << "row " << k;

        QLabel* name = form.NameLabels[static_cast<std::size_t>(k - 1)];
        QLabel* nominal = form.NominalLabels[static_cast<std::size_t>(k - 1)];
        EXPECT_EQ(name->text().toStdString(), source.label) << "row " << k;
        EXPECT_EQ(nominal->text().toStdString(), source.nominal) << "row " << k;
        EXPECT_EQ(name->x(), 121);
        EXPECT_GE(name->y() - top, 1) << "row " << k;
        EXPECT_LE(name->y() - top, 6) << "row " << k;
        // The longest names must still end before the nominal column.
        EXPECT_LT(name->x() + name->sizeHint().width(), 599) << "row " << k;
        const QRect bevel = nominal->parentWidget()->geometry();
        EXPECT_EQ(bevel.topLeft().x(), 599) << "row " << k;
        EXPECT_EQ(bevel.size(), QSize(67, 21)) << "row " << k;
        EXPECT_GE(top - bevel.y(), 0) << "row " << k;
        EXPECT_LE(top - bevel.y(), 7) << "row " << k;
        // Every nominal caption fits its bevel.
        EXPECT_LE(nominal->fontMetrics().horizontalAdvance(nominal->text()), nominal->width()) << "row " << k;

        const int fontHeight = k <= 2 ? 11 : 10;
        EXPECT_EQ(QFontInfo(name->font()).pixelSize(), fontHeight) << "row " << k;
        EXPECT_EQ(QFontInfo(nominal->font()).pixelSize(), fontHeight) << "row " << k;
        EXPECT_EQ(QFontInfo(edit->font()).pixelSize(), 10) << "row " << k;
    }
    // The last row ends inside the scrolled table.
    EXPECT_LE(form.Edit(30)->geometry().bottom(), 830);

    EXPECT_EQ(form.Button1->text(), QStringLiteral("Принять"));
    EXPECT_EQ(form.Button1->geometry(), QRect(12, 506, 61, 20));
    EXPECT_EQ(form.Button2->text(), QStringLiteral("Отмена"));
    EXPECT_EQ(form.Button2->geometry(), QRect(84, 506, 61, 20));
    EXPECT_FALSE(form.Button1->isDefault() || form.Button1->autoDefault());
    EXPECT_FALSE(form.Button2->isDefault() || form.Button2->autoDefault());
}

using testsupport::NextTabStop;

TEST(ParameterWindow, TabRunsThroughTheFieldsThenCancelThenAccept)
{
    TForm3 form;
    for (int k = 1; k < 30; ++k)
        EXPECT_EQ(NextTabStop(form.Edit(k)), form.Edit(k + 1)) << "after Edit" << k;
    EXPECT_EQ(NextTabStop(form.Edit(30)), form.Button2);
    EXPECT_EQ(NextTabStop(form.Button2), form.Button1);
    EXPECT_EQ(NextTabStop(form.Button1), form.Edit(1));
}

TEST(ParameterWindow, EnterAndEscDoNotCloseItAndTheCloseBoxCancels)
{
    TForm3 form;
    testsupport::WhenShown(&form, [&] {
        form.Edit(21)->setFocus();
        QTest::keyClick(form.Edit(21), Qt::Key_Return);
        QTest::keyClick(form.Edit(21), Qt::Key_Enter);
        QTest::keyClick(form.Edit(21), Qt::Key_Escape);
        form.Button1->setFocus();
        QTest::keyClick(form.Button1, Qt::Key_Escape);
        EXPECT_TRUE(form.isVisible());
        testsupport::SaveScreenshot(&form, QStringLiteral("parameters"));
        form.close();
    });
    EXPECT_EQ(form.ShowModal(), gyroapp::mrCancel);

    testsupport::WhenShown(&form, [&] { QTest::mouseClick(form.Button1, Qt::LeftButton); });
    EXPECT_EQ(form.ShowModal(), gyroapp::mrOk);
    testsupport::WhenShown(&form, [&] { QTest::mouseClick(form.Button2, Qt::LeftButton); });
    EXPECT_EQ(form.ShowModal(), gyroapp::mrCancel);

    // A focused button is pressed by Enter, the keypad's too; the box stays where it was.
    QScrollBar* bar = form.ScrollBox1->verticalScrollBar();
    testsupport::WhenShown(&form, [&] {
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
        bar->setValue(bar->maximum());
        form.Button1->setFocus();
        QTest::keyClick(form.Button1, Qt::Key_Tab);
        EXPECT_EQ(form.focusWidget(), form.Edit(1));
        EXPECT_EQ(bar->value(), bar->maximum()) << "no automatic scrolling";
        bar->setValue(0);
        form.Edit(19)->setFocus();
        QTest::keyClick(form.Edit(19), Qt::Key_Tab);
        EXPECT_EQ(form.focusWidget(), form.Edit(20));
        EXPECT_EQ(bar->value(), 0) << "a field below the box stays out of view";
        form.Button1->setFocus();
        QTest::keyClick(form.Button1, Qt::Key_Enter, Qt::KeypadModifier);
        if (form.isVisible())
            form.close();
    });
    EXPECT_EQ(form.ShowModal(), gyroapp::mrOk);
}

} // namespace
