#include "app/ArbolU.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TArbol ventana;
    ventana.showMaximized();
    return app.exec();
}
