// Forward declarations of the OpenGL scene library, for headers that only
// pass pointers and references around.
#ifndef NIMBO_INCLUDE_HOST_KIVVIZOPENGL_KIVVIZOPENGL_H
#define NIMBO_INCLUDE_HOST_KIVVIZOPENGL_KIVVIZOPENGL_H

class FilterManagerGL;
class GeometryItemAxisGL;
class GeometryItemCircle2DGL;
class GeometryItemFactoryGL;
class GeometryItemLinesGL;
class GeometryItemPointsGL;
class GeometryItemPolylineGL;
class GeometryItemTrianglesGL;
class HighlightStrategyGL;
class TextManagerGL;

#endif
