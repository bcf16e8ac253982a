#include "app/Aplicacion.h"

#include <gtest/gtest.h>

// GUI tests share one application object, the program's own, so that its
// error handler is in place.
int main(int argc, char** argv)
{
    // Real widgets, no display needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The tests' own settings file beside the program, never the user's.
    if (qEnvironmentVariableIsEmpty("NEMOR_INI"))
        qputenv("NEMOR_INI", QByteArray(argv[0]) + ".ini");
    TAplicacion app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
