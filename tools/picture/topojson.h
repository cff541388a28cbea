#pragma once

#include <QList>
#include <QPolygonF>
#include <QString>

// A polygon as rings of (longitude, latitude) points in degrees; the first
// ring is the outline, any further ones are holes.
using GeoPolygon = QList<QPolygonF>;

// Reads every Polygon and MultiPolygon of a TopoJSON topology (such as
// world-atlas' land-110m.json). Returns an empty list and sets *error on failure.
QList<GeoPolygon> readTopoJsonPolygons(const QString &path, QString *error);
