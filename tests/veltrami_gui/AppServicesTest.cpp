#include "AppServices.h"
#include "Fonts.h"
#include "Locale.h"
#include "ModalForm.h"
#include "RunProgressDialog.h"
#include "ScriptedServices.h"
#include "WindowTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFontInfo>
#include <QLocale>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <stdexcept>

namespace {

class Throwing : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            throw std::runtime_error("'abc' is not a valid floating point value");
        return QObject::event(e);
    }
};

TEST(Application, ErrorEscapingAHandlerGoesToTheErrorBoxAndTheProgramGoesOn)
{
    gyroapp::ScriptedServices services;
    Throwing receiver;
    QEvent sent(QEvent::User);
    QCoreApplication::sendEvent(&receiver, &sent);
    QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    ASSERT_EQ(services.Errors.size(), 2);
    EXPECT_EQ(services.Errors[0], QStringLiteral("'abc' is not a valid floating point value"));
    EXPECT_TRUE(services.Notices.isEmpty());

    gyroapp::RunHandler([] { throw 42; });
    EXPECT_EQ(services.Errors.size(), 3);
}

TEST(Application, RunsInTheLocaleTheTestWasStartedFor)
{
    // Both registrations of this suite must really differ in their separator.
    EXPECT_EQ(QLocale().decimalPoint(), testsupport::ExpectedDecimal()) << QLocale().name().toStdString();
    EXPECT_EQ(QString::fromStdString(gyroapp::LocaleSeparators().decimal), testsupport::ExpectedDecimal());
}

TEST(Application, CLibraryKeepsTheDecimalPointForDataFiles)
{
    EXPECT_STREQ(std::localeconv()->decimal_point, ".");
    EXPECT_DOUBLE_EQ(std::strtod("0.25", nullptr), 0.25);
}

TEST(Locale, SeparatorsOfRussianAndEnglish)
{
    const numfmt::Separators ru = gyroapp::LocaleSeparators(QLocale(QLocale::Russian, QLocale::Russia));
    EXPECT_EQ(ru.decimal, ",");
    EXPECT_EQ(ru.thousands, "\u00A0");
    const numfmt::Separators en = gyroapp::LocaleSeparators(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(en.decimal, ".");
    EXPECT_EQ(en.thousands, ",");
}

TEST(Fonts, WindowsFacesResolveToInstalledStandIns)
{
    struct Row {
        const char* face;
        const char* family;
    } const rows[] = {
        {"MS Sans Serif", "Liberation Sans"},
        {"Arial", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
    };
    for (const Row& row : rows) {
        const QFont font = gyroapp::WindowsFont(QString::fromLatin1(row.face), 11);
        const QFontInfo info(font);
        EXPECT_EQ(info.family(), QString::fromLatin1(row.family)) << row.face;
        EXPECT_EQ(info.pixelSize(), 11) << row.face;
        // A face named directly goes to the stand-in too.
        EXPECT_EQ(QFontInfo(QFont(QString::fromLatin1(row.face))).family(), QString::fromLatin1(row.family))
            << row.face;
    }
}

TEST(ModalForm, TitleBarCloseCancelsAndKeysCloseOnlyWhenAllowed)
{
    gyroapp::ModalForm form;
    testsupport::WhenShown(&form, [&] { form.close(); });
    EXPECT_EQ(form.ShowModal(), gyroapp::mrCancel);

    testsupport::WhenShown(&form, [&] { QTest::keyClick(&form, Qt::Key_Escape); });
    EXPECT_EQ(form.ShowModal(), gyroapp::mrCancel);

    form.SetKeysClose(false);
    testsupport::WhenShown(&form, [&] {
        QTest::keyClick(&form, Qt::Key_Escape);
        QTest::keyClick(&form, Qt::Key_Return);
        EXPECT_TRUE(form.isVisible());
        form.SetModalResult(gyroapp::mrOk);
    });
    EXPECT_EQ(form.ShowModal(), gyroapp::mrOk);
}

} // namespace

namespace {

QProgressDialog* VisibleProgressDialog()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QProgressDialog*>(w); dialog && dialog->isVisible())
            return dialog;
    return nullptr;
}

} // namespace

TEST(RunProgress, ShortRunsShowNothingAndLongOnesCanBeCancelled)
{
    // A window of the program, under the run's hourglass.
    QWidget window;
    window.show();
    QApplication::setOverrideCursor(Qt::WaitCursor);

    auto progress = gyroapp::MakeProgressDialog(QStringLiteral("Идет расчет..."));
    EXPECT_FALSE(progress->Update(0.01));
    EXPECT_EQ(VisibleProgressDialog(), nullptr) << "a run just started shows no window";

    QTest::qWait(gyroapp::ProgressDelayMs + 100);
    EXPECT_FALSE(progress->Update(0.5));
    QProgressDialog* dialog = VisibleProgressDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->labelText(), QStringLiteral("Идет расчет..."));
    EXPECT_EQ(dialog->value(), 500);
    const auto buttons = dialog->findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 1);
    EXPECT_EQ(buttons[0]->text(), QStringLiteral("Отмена"));
    // What the title bar shows, as the message boxes have it: not the program's name.
    const QString title = testsupport::XWindowName(dialog);
    EXPECT_FALSE(title.isNull()) << "the X server holds a name for the window";
    EXPECT_EQ(title.trimmed(), QString()) << title.toStdString();

    // The hourglass stays over the window; the progress window alone has the arrow.
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "an application-wide cursor would cover the dialog too";
    EXPECT_EQ(window.cursor().shape(), Qt::WaitCursor);
    EXPECT_EQ(dialog->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(buttons[0]->cursor().shape(), Qt::ArrowCursor);

    QTest::mouseClick(buttons[0], Qt::LeftButton);
    EXPECT_TRUE(progress->Update(0.6)) << "after \"Отмена\" the run is told to stop";
    progress.reset();
    EXPECT_EQ(VisibleProgressDialog(), nullptr);
    ASSERT_NE(QApplication::overrideCursor(), nullptr) << "the run's hourglass is back";
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor) << "the window's own cursor is taken back";
    QApplication::restoreOverrideCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The real boxes, not the scripted ones: what a person sees in the title bar and on the buttons.
TEST(MessageBoxes, QuestionHasAnEmptyTitleAndButtonsInTheUsersLanguage)
{
    const bool russian = QLocale().language() == QLocale::Russian;
    QString title = QStringLiteral("(not read)");
    QStringList buttons;
    testsupport::WhenModal([&](QWidget* modal) {
        title = testsupport::XWindowName(modal);
        for (QAbstractButton* button : modal->findChildren<QAbstractButton*>())
            buttons << button->text().remove(QLatin1Char('&'));
        for (QAbstractButton* button : modal->findChildren<QAbstractButton*>())
            if (button->text().remove(QLatin1Char('&')) == (russian ? QStringLiteral("Нет") : QStringLiteral("No")))
                button->click();
        if (modal->isVisible())
            modal->close();
    });
    gyroapp::QtServices real;
    EXPECT_FALSE(real.AskYesNo(QStringLiteral("Произвести перерасчет?")));
    EXPECT_FALSE(title.isNull()) << "the X server holds a name for the box";
    EXPECT_EQ(title.trimmed(), QString()) << "not the program's name";
    buttons.sort();
    EXPECT_EQ(buttons, russian ? QStringList({QStringLiteral("Да"), QStringLiteral("Нет")})
                               : QStringList({QStringLiteral("No"), QStringLiteral("Yes")}));
}
