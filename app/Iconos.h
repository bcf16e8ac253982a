#pragma once
#include <QIcon>
#include <QString>

class QAction;
class QToolBar;

// One of the program's own icons (resources/iconos/<nombre>.svg), drawn at the
// sizes tool bars and menus use.
QIcon Icono(const QString& nombre);

// A button of a tool bar: an action owned by the bar's window, with its hint
// and icon, shown as a 25 x 25 button of the same name.
QAction* BotonBarra(QToolBar* barra, const char* nombre, const QString& hint, const char* icono);
