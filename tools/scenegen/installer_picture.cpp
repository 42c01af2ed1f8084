#include "tools/scenegen/installer_picture.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "tools/scenegen/raster.h"

namespace scenegen {

namespace {
// The view the strip is cut from: the camera's usual 16:9 at the picture's
// height, so the strip shows the scene at the size a screen does.
constexpr int ViewWidth = InstallerPictureHeight * 16 / 9;
constexpr int Supersample = 3;

// Where the waterfall shows across a view `width` pixels wide, from the
// middle of the triangles that wear its texture; the middle of the view
// when the model has none.
double FallsColumn(const TLakeData& lake, int width) {
    const TGenCamera& camera = lake.Model.Cameras.at(0);
    const TMatrix clip =
        Multiply(PerspectiveMatrix(camera.FieldOfView, double(width) / double(InstallerPictureHeight),
                                   camera.Near, camera.Far),
                 camera.Matrix);
    double x = 0.0, y = 0.0, z = 0.0;
    long count = 0;
    for (const TGenObject& object : lake.Model.Objects) {
        if (object.Material >= lake.Model.Materials.size() ||
            lake.Model.Materials[object.Material].Texture != FallsTextureName)
            continue;
        for (const auto& triangle : object.Triangles)
            for (const TVec3& p : triangle) {
                x += p.x;
                y += p.y;
                z += p.z;
                ++count;
            }
    }
    if (count == 0) return width * 0.5;
    const auto c = Transform(clip, V3(float(x / count), float(y / count), float(z / count)));
    if (c[3] <= 0.0f) return width * 0.5; // behind the camera
    return (c[0] / c[3] + 1.0) * 0.5 * width;
}
} // namespace

TPicture MakeInstallerPicture(const TLakeData& lake) {
    const TPicture view = RenderLakeView(lake, ViewWidth, InstallerPictureHeight, Supersample, true);
    const int left = std::clamp(int(std::lround(FallsColumn(lake, ViewWidth) - InstallerPictureWidth * 0.5)),
                                0, ViewWidth - InstallerPictureWidth);
    TPicture picture(InstallerPictureWidth, InstallerPictureHeight, 3);
    for (int y = 0; y < InstallerPictureHeight; ++y)
        for (int x = 0; x < InstallerPictureWidth; ++x)
            picture.Set(x, y, view.Get(left + x, y));
    return picture;
}

} // namespace scenegen
