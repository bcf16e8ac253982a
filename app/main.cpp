#include "app/Aplicacion.h"
#include "app/ArbolU.h"
#include "app/Ventanas.h"

int main(int argc, char** argv)
{
    TAplicacion app(argc, argv);
    QStringList argumentos = app.arguments();
    argumentos.removeFirst(); // the program itself
    Programa programa(argumentos);
    programa.Principal().showMaximized();
    return app.exec();
}
