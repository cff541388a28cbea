#include "topojson.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {

// Arcs are stored quantized and delta-encoded: each point is the running sum
// of the integer pairs, mapped back to degrees by the topology's transform.
QList<QPolygonF> decodeArcs(const QJsonArray &arcs, const QJsonObject &transform)
{
    const QJsonArray scale = transform.value("scale").toArray();
    const QJsonArray translate = transform.value("translate").toArray();
    const bool quantized = scale.size() == 2 && translate.size() == 2;
    const double sx = quantized ? scale[0].toDouble() : 1.0;
    const double sy = quantized ? scale[1].toDouble() : 1.0;
    const double tx = quantized ? translate[0].toDouble() : 0.0;
    const double ty = quantized ? translate[1].toDouble() : 0.0;

    QList<QPolygonF> result;
    result.reserve(arcs.size());
    for (const QJsonValue &arcValue : arcs) {
        QPolygonF arc;
        double x = 0, y = 0;
        for (const QJsonValue &pointValue : arcValue.toArray()) {
            const QJsonArray point = pointValue.toArray();
            if (quantized) {
                x += point[0].toDouble();
                y += point[1].toDouble();
                arc << QPointF(x * sx + tx, y * sy + ty);
            } else {
                arc << QPointF(point[0].toDouble(), point[1].toDouble());
            }
        }
        result << arc;
    }
    return result;
}

// A ring lists arc indices; a negative index ~i means arc i walked backwards.
// Consecutive arcs share their joining point, so it is kept only once.
QPolygonF assembleRing(const QJsonArray &indices, const QList<QPolygonF> &arcs)
{
    QPolygonF ring;
    for (const QJsonValue &indexValue : indices) {
        const int index = indexValue.toInt();
        const bool reversed = index < 0;
        const int arcIndex = reversed ? ~index : index;
        if (arcIndex >= arcs.size())
            continue;
        QPolygonF arc = arcs[arcIndex];
        if (reversed)
            std::reverse(arc.begin(), arc.end());
        if (!ring.isEmpty() && !arc.isEmpty())
            arc.removeFirst();
        ring << arc;
    }
    return ring;
}

GeoPolygon assemblePolygon(const QJsonArray &rings, const QList<QPolygonF> &arcs)
{
    GeoPolygon polygon;
    for (const QJsonValue &ring : rings)
        polygon << assembleRing(ring.toArray(), arcs);
    return polygon;
}

void collect(const QJsonObject &geometry, const QList<QPolygonF> &arcs, QList<GeoPolygon> *out)
{
    const QString type = geometry.value("type").toString();
    if (type == "GeometryCollection") {
        for (const QJsonValue &child : geometry.value("geometries").toArray())
            collect(child.toObject(), arcs, out);
    } else if (type == "Polygon") {
        *out << assemblePolygon(geometry.value("arcs").toArray(), arcs);
    } else if (type == "MultiPolygon") {
        for (const QJsonValue &polygon : geometry.value("arcs").toArray())
            *out << assemblePolygon(polygon.toArray(), arcs);
    }
}

} // namespace

QList<GeoPolygon> readTopoJsonPolygons(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
        return {};
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (document.isNull()) {
        *error = QStringLiteral("%1: %2").arg(path, parseError.errorString());
        return {};
    }
    const QJsonObject topology = document.object();
    if (topology.value("type").toString() != "Topology") {
        *error = QStringLiteral("%1 is not a TopoJSON topology").arg(path);
        return {};
    }

    const QList<QPolygonF> arcs = decodeArcs(topology.value("arcs").toArray(), topology.value("transform").toObject());
    QList<GeoPolygon> polygons;
    const QJsonObject objects = topology.value("objects").toObject();
    for (auto it = objects.begin(); it != objects.end(); ++it)
        collect(it.value().toObject(), arcs, &polygons);
    if (polygons.isEmpty())
        *error = QStringLiteral("%1 holds no polygons").arg(path);
    return polygons;
}
