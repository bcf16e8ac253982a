#include "app/Iconos.h"

#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

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
