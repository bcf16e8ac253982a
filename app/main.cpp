#include "app/Aplicacion.h"
#include "app/ArbolU.h"
#include "app/Ventanas.h"

#include <QTimer>

int main(int argc, char** argv)
{
    TAplicacion app(argc, argv);
    QStringList argumentos = app.arguments();
    argumentos.removeFirst(); // the program itself
    Programa programa(argumentos);
    programa.Principal().showMaximized();
    // Over the main window, once it is on screen.
    QTimer::singleShot(0, &programa.Principal(), [&programa] { programa.OfreceRecuperacion(); });
    return app.exec();
}
