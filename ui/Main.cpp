// The viewer takes no arguments: Qt is given only the program name.
#include "Application.h"
#include "Mainunit.h"

#include <exception>

int main(int, char** argv)
{
    int qtArgc = 1;
    TApplication application(qtArgc, argv);
    TMainForm MainForm;
    MainForm.show();
    try {
        application.exec();
    } catch (const std::exception& error) {
        application.ShowException(error);
    }
    return 0;
}
