// The program as a user runs it, for the test that kills it halfway: started
// on a tree, it changes the tree in the variables window and types into the
// editor, lets its own timer write the recovery copy, prints "copia" once the
// copy is on disk and goes on running until it is killed.
//   hijo_recuperacion ARBOL LINEA TEXTO
// The settings (the copy's interval) and the data folder come from the
// environment, NEMOR_INI and XDG_DATA_HOME, as for the program.
#include "app/Aplicacion.h"
#include "app/ArbolU.h"
#include "app/Ventanas.h"
#include "common/EscrituraSegura.h"
#include "editor/REMain.h"
#include "tree/RecuperacionU.h"
#include "variables/VarUnit.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TAplicacion app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "uso: hijo_recuperacion ARBOL LINEA TEXTO\n");
        return 2;
    }
    Programa programa(QStringList{QString::fromLocal8Bit(argv[1])});
    programa.Principal().show();
    FormVar->Memo1->setPlainText(QString::fromUtf8(argv[2]));
    // Typed, not loaded: the editor's document has changes not yet saved.
    FormEditor->Editor->textCursor().insertText(QString::fromUtf8(argv[3]));

    const std::string registro = programa.Recuperacion().Copias().RutaRegistro();
    QTimer sondeo;
    QObject::connect(&sondeo, &QTimer::timeout, [&] {
        // The record is written last: once it is there, the whole copy is.
        if (!ExisteFichero(registro))
            return;
        sondeo.stop();
        std::printf("copia\n");
        std::fflush(stdout);
    });
    sondeo.start(20);
    return app.exec();
}
