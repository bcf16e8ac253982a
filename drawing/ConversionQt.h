#pragma once
// The edges between the core's values and Qt's: texts (UTF-8 in the core),
// colours (red in the low byte) and rectangles.
#include "tree/Nodo.h"

#include <QColor>
#include <QRect>
#include <QString>

#include <string>

inline QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string S(const QString& s) { return s.toStdString(); }

inline QColor AQColor(Color c) { return QColor(Rojo(c), Verde(c), Azul(c)); }
inline Color DeQColor(const QColor& c)
{
    return RGB(static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()), static_cast<uint8_t>(c.blue()));
}

inline QRect AQRect(const Rect& r) { return QRect(r.Left, r.Top, r.Width, r.Height); }
