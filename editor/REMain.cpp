#include "editor/REMain.h"

TFormEditor::TFormEditor(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FormEditor"));
    setWindowTitle(QStringLiteral("Editor"));
}
