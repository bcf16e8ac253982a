#include "app/ArbolU.h"

#include <gtest/gtest.h>

TEST(VentanaPrincipal, TituloYRaiz)
{
    TArbol v;
    EXPECT_EQ(v.windowTitle(), QStringLiteral("NEMOR"));
    EXPECT_EQ(v.arbol().UltimaPosicion, 0);
}
