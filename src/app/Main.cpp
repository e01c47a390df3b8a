// The program block: the application, its main window and dialogs, and the
// message loop.
#include <windows.h>

#include "app/OtherQiv.h"
#include "app/RegisterAll.h"
#include "app/SearchDialog.h"
#include "app/TreskelOptions.h"
#include "app/frmMain.h"
#include "platform/Forms.h"
#include "preview/PgSetup.h"

using namespace treskel;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    TApplication* app = EnsureApplication();
    try {
        app->Initialize();
        RegisterAllClasses();
        app->SetTitle("Treskel!");
        InitPageSetup();
        frmTreskel = app->CreateForm<TfrmTreskel>();
        frmSearch = app->CreateForm<TfrmSearch>();
        frmOptions = app->CreateForm<TfrmOptions>();
        frmAboutQiv = app->CreateForm<TfrmAboutQiv>();
        app->Run();
    } catch (...) {
        app->HandleException(std::current_exception());
    }
    app->Free();
    return 0;
}
