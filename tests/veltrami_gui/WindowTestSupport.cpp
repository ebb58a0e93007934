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
    "0.001,0.1,12,1,0.01,0.01,10,0.0003,0.0004,0.0002,0.0002,0.0003,0.0015,1,0,4,20,0,20,0,0,1.125,0,0,0,0,0\n";

const char* const DivergingData =
    "0.1,0.1,12,1,0.01,0.01,10,0.0003,0.0004,0.0002,0.0002,0.0003,0.0015,1,0,4,20,0,20,0,0,1.125,0,0,0,0,0\n";

std::string DataWith(std::initializer_list<std::pair<int, const char*>> replaced)
{
    return ReplaceValues(NominalData, replaced);
}

void VeltramiWindows::TearDown()
{
    veltrami::DestroyForms();
    gyroapp::ClearTermination();
}

void VeltramiWindows::Start(const std::string& data)
{
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("veltrami.dat"));
    ASSERT_TRUE(WriteDataFile(path, data));
    veltrami::CreateForms(QFile::encodeName(path).toStdString());
    veltrami::Form1->show();
}

void VeltramiWindows::StartWithoutData()
{
    veltrami::CreateForms(QFile::encodeName(dir.filePath(QStringLiteral("missing.dat"))).toStdString());
    veltrami::Form1->show();
}

void VeltramiWindows::EditParameters(const std::function<void()>& edit, bool accept)
{
    WhenShown(veltrami::Form3, [edit, accept] {
        edit();
        QTest::mouseClick(accept ? veltrami::Form3->Button1 : veltrami::Form3->Button2, Qt::LeftButton);
    });
    QTest::mouseClick(veltrami::Form1->Button1, Qt::LeftButton);
}

void VeltramiWindows::Visualise(const std::function<void()>& inView)
{
    viewOpened = false;
    WhenShown(veltrami::Form2, [this, inView] {
        viewOpened = true;
        if (inView)
            inView();
        veltrami::Form2->close();
    });
    QTest::mouseClick(veltrami::Form1->Button3, Qt::LeftButton);
}

} // namespace testsupport
