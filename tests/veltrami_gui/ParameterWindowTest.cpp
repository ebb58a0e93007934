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

using veltrami::TForm3;

TEST(ParameterWindow, RowsStandWhereTheTableSays)
{
    TForm3 form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Параметры моделирования"));
    ASSERT_EQ(form.RowCount(), 27);
    EXPECT_EQ(form.ScrollBox1->geometry(), QRect(12, 16, 699, 577));
    EXPECT_EQ(form.ScrollBox1->widget()->height(), 760);
    const int lowerTops[] = {514, 542, 570, 598, 626, 654, 682, 710};
    for (int k = 1; k <= 27; ++k) {
        const auto& source = veltrami::ParameterRows[static_cast<std::size_t>(k - 1)];
        QLineEdit* edit = form.Edit(k);
        const int top = k <= 19 ? 19 + 26 * (k - 1) : lowerTops[k - 20];
        EXPECT_EQ(edit->objectName(), QStringLiteral("Edit%1").arg(k));
        EXPECT_EQ(edit->geometry(), QRect(8, top, k <= 19 ? 99 : 101, 21)) << "row " << k;

        QLabel* name = form.NameLabels[static_cast<std::size_t>(k - 1)];
        QLabel* nominal = form.NominalLabels[static_cast<std::size_t>(k - 1)];
        EXPECT_EQ(name->text().toStdString(), source.label) << "row " << k;
        EXPECT_EQ(nominal->text().toStdString(), source.nominal) << "row " << k;
        EXPECT_EQ(name->x(), 121);
        EXPECT_GE(name->y() - top, 2) << "row " << k;
        EXPECT_LE(name->y() - top, 6) << "row " << k;
        // The longest names must still end before the nominal column.
        EXPECT_LT(name->x() + name->sizeHint().width(), 599) << "row " << k;
        EXPECT_EQ(nominal->parentWidget()->geometry(), QRect(599, top, 67, 21)) << "row " << k;
        const int fontHeight = k <= 2 ? 11 : 10;
        EXPECT_EQ(QFontInfo(name->font()).pixelSize(), fontHeight) << "row " << k;
        EXPECT_EQ(QFontInfo(nominal->font()).pixelSize(), fontHeight) << "row " << k;
        EXPECT_EQ(QFontInfo(edit->font()).pixelSize(), 10) << "row " << k;
    }
    EXPECT_EQ(form.Button1->text(), QStringLiteral("Принять"));
    EXPECT_EQ(form.Button1->geometry(), QRect(128, 598, 61, 20));
    EXPECT_EQ(form.Button2->text(), QStringLiteral("Отмена"));
    EXPECT_EQ(form.Button2->geometry(), QRect(200, 598, 61, 20));
}

using testsupport::NextTabStop;

TEST(ParameterWindow, TabRunsThroughTheFieldsThenCancelThenAccept)
{
    TForm3 form;
    for (int k = 1; k < 27; ++k)
        EXPECT_EQ(NextTabStop(form.Edit(k)), form.Edit(k + 1)) << "after Edit" << k;
    EXPECT_EQ(NextTabStop(form.Edit(27)), form.Button2);
    EXPECT_EQ(NextTabStop(form.Button2), form.Button1);
    EXPECT_EQ(NextTabStop(form.Button1), form.Edit(1));
}

TEST(ParameterWindow, EnterAndEscDoNotCloseItAndTheTitleBarCancels)
{
    TForm3 form;
    testsupport::WhenShown(&form, [&] {
        form.Edit(3)->setFocus();
        QTest::keyClick(form.Edit(3), Qt::Key_Return);
        QTest::keyClick(form.Edit(3), Qt::Key_Escape);
        form.Button2->setFocus();
        QTest::keyClick(form.Button2, Qt::Key_Escape);
        EXPECT_TRUE(form.isVisible());
        testsupport::SaveScreenshot(&form, QStringLiteral("parameters"));
        form.close();
    });
    EXPECT_EQ(form.ShowModal(), gyroapp::mrCancel);

    testsupport::WhenShown(&form, [&] { QTest::mouseClick(form.Button1, Qt::LeftButton); });
    EXPECT_EQ(form.ShowModal(), gyroapp::mrOk);
    testsupport::WhenShown(&form, [&] { QTest::mouseClick(form.Button2, Qt::LeftButton); });
    EXPECT_EQ(form.ShowModal(), gyroapp::mrCancel);

    // A focused button is pressed by Enter.
    testsupport::WhenShown(&form, [&] {
        form.Button1->setFocus();
        QTest::keyClick(form.Button1, Qt::Key_Return);
        if (form.isVisible())
            form.close();
    });
    EXPECT_EQ(form.ShowModal(), gyroapp::mrOk);
}

TEST(ParameterWindow, TheScrollBoxFollowsTheFocus)
{
    TForm3 form;
    QScrollBar* bar = form.ScrollBox1->verticalScrollBar();
    auto shown = [&](int k) {
        const QRect field(form.Edit(k)->pos() - QPoint(0, bar->value()), form.Edit(k)->size());
        return form.ScrollBox1->viewport()->rect().contains(field);
    };
    testsupport::WhenShown(&form, [&] {
        // Focus moves the way a person sees it only in the active window.
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
        form.Edit(19)->setFocus();
        for (int k = 20; k <= 27; ++k) {
            QTest::keyClick(form.focusWidget(), Qt::Key_Tab);
            EXPECT_TRUE(shown(k)) << "Edit" << k;
        }
        QTest::keyClick(form.Edit(27), Qt::Key_Tab);
        QTest::keyClick(form.Button2, Qt::Key_Tab);
        QTest::keyClick(form.Button1, Qt::Key_Tab);
        EXPECT_EQ(form.focusWidget(), form.Edit(1));
        EXPECT_TRUE(shown(1)) << "from \"Принять\" back to the first field";
        form.close();
    });
    form.ShowModal();
}

TEST(ParameterWindow, FieldsWriteAndReadWithTheLocaleSeparator)
{
    TForm3 form;
    form.SetValue(8, 0.00015f);
    EXPECT_EQ(form.Edit(8)->text(), testsupport::Local("0.00015"));
    EXPECT_FLOAT_EQ(static_cast<float>(form.Value(8)), 0.00015f);
    form.Edit(8)->setText(QStringLiteral("  -2") + testsupport::ExpectedDecimal() + QStringLiteral("5e-3 "));
    EXPECT_DOUBLE_EQ(form.Value(8), -0.0025);
    // The window takes any text; only reading it fails.
    form.Edit(8)->setText(QStringLiteral("0") + testsupport::OtherDecimal() + QStringLiteral("5"));
    EXPECT_THROW(form.Value(8), numfmt::ConversionError);
}

} // namespace
