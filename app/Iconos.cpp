#include "app/Iconos.h"

#include <QAction>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <QToolBar>

static void IniciaRecursos() { Q_INIT_RESOURCE(nemor); }

QIcon Icono(const QString& nombre)
{
    static QHash<QString, QIcon> hechos;
    auto it = hechos.find(nombre);
    if (it != hechos.end())
        return *it;
    IniciaRecursos();
    // Rendered here rather than through an icon plugin, so the icons show
    // wherever the Svg module is present.
    QSvgRenderer svg(QStringLiteral(":/iconos/%1.svg").arg(nombre));
    QIcon icono;
    if (svg.isValid()) {
        for (int lado : {16, 24, 32, 48}) {
            QPixmap pm(lado, lado);
            pm.fill(Qt::transparent);
            QPainter p(&pm);
            svg.render(&p);
            p.end();
            icono.addPixmap(pm);
        }
    }
    return hechos.insert(nombre, icono).value();
}

QAction* BotonBarra(QToolBar* barra, const char* nombre, const QString& hint, const char* icono)
{
    auto* a = new QAction(Icono(QString::fromLatin1(icono)), hint, barra->window());
    a->setObjectName(QString::fromLatin1(nombre));
    a->setToolTip(hint);
    barra->addAction(a);
    if (QWidget* w = barra->widgetForAction(a)) {
        w->setObjectName(QString::fromLatin1(nombre));
        w->setFixedSize(25, 25);
    }
    return a;
}
