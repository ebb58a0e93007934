#include "Application.h"
#include "Forms.h"
#include "Main.h"

int main(int argc, char** argv)
{
    gyroapp::Application app(argc, argv, QStringLiteral("veltrami"));
    veltrami::CreateForms();
    veltrami::Form1->show();
    const int code = app.Run();
    veltrami::DestroyForms();
    return code;
}
