#include "tools/scenegen/lake_model.h"

#include <utility>

#include "tools/scenegen/cliff.h"
#include "tools/scenegen/falls.h"
#include "tools/scenegen/far_trees.h"
#include "tools/scenegen/lake_sheen.h"
#include "tools/scenegen/near_ground.h"
#include "tools/scenegen/shore.h"
#include "tools/scenegen/sky.h"
#include "tools/scenegen/terrain.h"
#include "tools/scenegen/vegetation.h"
#include "tools/scenegen/water_picture.h"
#include "tools/scenegen/world.h"

namespace scenegen {

TLakeData BuildLake() {
    TLakeData lake;
    TGenModel& model = lake.Model;
    const char* names[] = {GroundTextureName,     MirrorTextureName,    LandTextureName, SkyTextureName,
                           TreesTextureName,      FallsTextureName,     RockTextureName, StoneTextureName,
                           GroundTextureNames[1], GroundTextureNames[2]};
    for (const char* name : names)
        model.Materials.push_back(TGenMaterial{Rgb(1, 1, 1, 1), name});
    const std::uint16_t ground = 0, land = 2, sky = 3, trees = 4, falls = 5, rock = 6, stone = 7;
    const std::uint16_t nearGround[NearParts] = {ground, 8, 9};
    model.Materials.push_back(TGenMaterial{Rgb(1, 1, 1, 1), FarTreesTextureName});
    const std::uint16_t farTrees = std::uint16_t(model.Materials.size() - 1);
    model.Materials.push_back(TGenMaterial{Rgb(1, 1, 1, 1), SheenTextureName});
    const std::uint16_t sheen = std::uint16_t(model.Materials.size() - 1);
    model.Materials.push_back(TGenMaterial{Rgb(1, 1, 1, 1), FoamTextureName});
    const std::uint16_t foam = std::uint16_t(model.Materials.size() - 1);

    // Opaque pass: the rock face, the land, near to far, the sheen under
    // the far water where the bed lies too deep to be drawn, then the sky where
    // the land leaves it to be seen (the land's far edge stands above the
    // horizon all round the view, at every screen shape, so nothing lies
    // beyond it).
    model.Objects.push_back(RockFace(rock));
    model.Objects.push_back(FallsFoam(foam));
    const std::vector<TBoulder> boulders = PlaceBoulders();
    model.Objects.push_back(Boulders(boulders, stone));
    const TTerrainGrid grid = BuildTerrainGrid();
    std::vector<TVec3> rocks;
    for (const TBoulder& b : boulders)
        rocks.push_back(b.Base);
    const std::vector<TPlant> plants = PlacePlants(grid, rocks);
    std::vector<TShadowCaster> casters = PlantShadows(plants);
    for (const TBoulder& b : boulders)
        casters.push_back({b.Base, b.Radius * 0.8f, b.Height * 0.5f});
    AddTerrainObjects(grid, model, nearGround, land);
    model.Objects.push_back(LakeSheen(sheen));
    model.Objects.push_back(SkyDome(sky, grid));

    // Blended pass: the cut-outs far to near, then the falls in the middle
    // of the view, so the last object drawn is textured and always in view:
    // texturing stays on for the water.
    model.Objects.push_back(FarPlantCutouts(plants, farTrees));
    model.Objects.push_back(PlantCutouts(plants, trees));
    model.Objects.push_back(Waterfall(falls));

    TGenCamera camera;
    camera.Near = CameraNear;
    camera.Far = CameraFar;
    camera.FieldOfView = CameraFieldOfView;
    camera.Matrix = LookAtMatrix(CameraEye(), CameraTarget(), V3(0, 0, 1));
    model.Cameras.push_back(camera);

    std::vector<TPicture> nearPictures = BakeNearGround(model, nearGround, casters);
    lake.Textures.push_back({GroundTextureName, std::move(nearPictures[0])});
    lake.Textures.push_back({MirrorTextureName, TPicture()}); // drawn below, from the rest
    lake.Textures.push_back({LandTextureName, BakeTerrainTexture(grid, TerrainArea, 1024, 1024, casters)});
    lake.Textures.push_back({SkyTextureName, SkyTexture(grid)});
    lake.Textures.push_back({TreesTextureName, VegetationTexture()});
    lake.Textures.push_back({FallsTextureName, WaterfallTexture()});
    lake.Textures.push_back({RockTextureName, RockTexture()});
    lake.Textures.push_back({StoneTextureName, StoneTexture()});
    for (int part = 1; part < NearParts; ++part)
        lake.Textures.push_back({GroundTextureNames[part], std::move(nearPictures[part])});
    lake.Textures.push_back({FarTreesTextureName, FarPlantsTexture()});
    lake.Textures.push_back({SheenTextureName, LakeSheenTexture()});
    lake.Textures.push_back({FoamTextureName, FoamTexture()});
    lake.Textures[1].Picture = WaterPicture(lake);
    return lake;
}

} // namespace scenegen
