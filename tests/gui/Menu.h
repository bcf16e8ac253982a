#pragma once
// Driving the main window with the mouse, as a user does.
#include "Modal.h"

#include "app/ArbolU.h"
#include "drawing/Tapiz.h"

#include <QAction>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

// A point inside a node's shape, clear of its number label.
inline QPoint CentroFigura(const TNodo& n)
{
    return {n.Figura.Left + n.Figura.Width / 2 + 8, n.Figura.Top + n.Figura.Height / 2};
}

// Right-clicks the node's shape and clicks the menu item.
inline void EligeEnMenu(TArbol& v, uint16_t nodo, QAction* item)
{
    QTest::mouseClick(v.tapiz, Qt::RightButton, {}, CentroFigura(*v.arbol().Nodo(nodo)));
    ASSERT_TRUE(v.PopupMenuTri->isVisible());
    ASSERT_TRUE(item->isVisible() && item->isEnabled()) << item->text().toStdString();
    QTest::mouseClick(v.PopupMenuTri, Qt::LeftButton, {}, v.PopupMenuTri->actionGeometry(item).center());
    Espera(20);
}
