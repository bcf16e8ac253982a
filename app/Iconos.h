#pragma once
#include <QIcon>
#include <QString>

// One of the program's own icons (resources/iconos/<nombre>.svg), drawn at the
// sizes tool bars and menus use.
QIcon Icono(const QString& nombre);
