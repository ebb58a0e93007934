#include "WindowTestSupport.h"

#include "Application.h"
#include "Field.h"
#include "Forms.h"
#include "Input1.h"
#include "Main.h"

#include <QFile>
#include <QPushButton>
#include <QTest>

namespace testsupport {

const char* const NominalData =
    "0.000003,0.00003,0.119,500,1500,0.0000042,0.000001,0.2,49500,49500,1150000000,62000000000,62800,1,0,0,"
    "39.4,39.4,1.2,951E15,1554E8,1554E8,6448E8,6448E8,90000,90000,0,0,0,0\n";

std::string DataWith(std::initializer_list<std::pair<int, const char*>> replaced)
{
    return ReplaceValues(NominalData, replaced);
}

std::string ShortRunData()
{
    return DataWith({{3, "0.003"}});
}

void PelisondWindows::TearDown()
{
    pelisond::DestroyForms();
    gyroapp::ClearTermination();
}

void PelisondWindows::Start(const std::string& data)
{
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("pelisond.dat"));
    ASSERT_TRUE(WriteDataFile(path, data));
    pelisond::CreateForms(QFile::encodeName(path).toStdString());
    pelisond::Form1->show();
}

void PelisondWindows::StartWithoutData()
{
    pelisond::CreateForms(QFile::encodeName(dir.filePath(QStringLiteral("missing.dat"))).toStdString());
    pelisond::Form1->show();
}

void PelisondWindows::Restart(const std::string& data)
{
    pelisond::DestroyForms();
    services.Clear();
    Start(data);
}

void PelisondWindows::EditParameters(const std::function<void()>& edit, bool accept)
{
    WhenShown(pelisond::Form3, [edit, accept] {
        edit();
        QTest::mouseClick(accept ? pelisond::Form3->Button1 : pelisond::Form3->Button2, Qt::LeftButton);
    });
    QTest::mouseClick(pelisond::Form1->Button1, Qt::LeftButton);
}

void PelisondWindows::Visualise(const std::function<void()>& inView)
{
    viewOpened = false;
    WhenShown(pelisond::Form2, [this, inView] {
        viewOpened = true;
        if (inView)
            inView();
        pelisond::Form2->close();
    });
    QTest::mouseClick(pelisond::Form1->Button3, Qt::LeftButton);
}

} // namespace testsupport
