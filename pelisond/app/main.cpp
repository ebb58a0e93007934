#include "Application.h"
#include "Forms.h"
#include "Main.h"

int main(int argc, char** argv)
{
    gyroapp::Application app(argc, argv, QStringLiteral("pelisond"));
    pelisond::CreateForms();
    pelisond::Form1->show();
    const int code = app.Run();
    pelisond::DestroyForms();
    return code;
}
