#include "Forms.h"

#include "Field.h"
#include "GraphWindows.h"
#include "Input1.h"
#include "Main.h"
#include "MainWindowParts.h"
#include "ParameterSetMenu.h"

#include <QFile>

namespace pelisond {

TForm1* Form1 = nullptr;
TForm3* Form3 = nullptr;
TForm2* Form2 = nullptr;
TForm8* Form8 = nullptr;
TForm5* Form5 = nullptr;
TForm9* Form9 = nullptr;

void CreateForms(const std::string& dataPath)
{
    Form1 = new TForm1(dataPath);
    Form3 = new TForm3;
    // The parameter window's sets; it owns them.
    new gyroapp::ParameterSetMenu(*Form3, QFile::decodeName(QByteArray::fromStdString(Form1->DataPath)));
    Form2 = new TForm2;
    Form8 = new TForm8(Form1->Model);
    Form5 = new TForm5(Form1->Model);
    Form9 = new TForm9;
    Form8->SetChoiceWindow(*Form9);
    Form8->SetComparison(Form1->Comparison);
    Form5->SetComparison(Form1->Comparison);
    Form5->FollowGraph(*Form8);
}

void DestroyForms()
{
    gyroapp::DeleteInOrder(Form9, Form5, Form8, Form2, Form3, Form1);
}

} // namespace pelisond
