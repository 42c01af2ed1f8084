// The seeds of the land's random values, one name each. Each names one
// pattern; no two share a value (checked below), so two patterns never come
// out alike by chance. A noise of several octaves also uses the values after
// its seed (Fbm adds 101 an octave, Ridged 131), and a painter of several
// looks adds a step a look.
#pragma once

#include <cstdint>

namespace scenegen {
namespace seeds {

// The land's shape (world.cpp).
constexpr std::uint32_t Hills = 11u, Bumps = 23u, FarRange = 37u, RockShelf = 41u, RockFaceEdge = 43u,
                        Woods = 51u, StreamWidth = 131u, RockFaceWidth = 139u, ScarpLine = 5003u,
                        ScarpHeight = 5007u, ScarpRun = 5009u, ScarpGully = 5011u, ScarpLedge = 5013u,
                        ScarpTalus = 5017u, ScarpBlocks = 7101u, ScarpJoints = 7107u, ScarpRough = 7111u,
                        StreamBanks = 7141u;
// The ground's colours (terrain_texture.cpp, bedded_rock.cpp).
constexpr std::uint32_t MeadowDrifts = 61u, MeadowEarth = 63u, MeadowMottle = 67u, GrassBlades = 69u,
                        CrownX = 71u, CrownY = 73u, CrownSize = 79u, CanopyHue = 83u, CanopyLeaves = 89u,
                        RockEdge = 91u, Strata = 97u, Cracks = 98u, RockLichen = 99u, BeachReach = 1101u,
                        Pebbles = 103u, FinePebbles = 105u, StreamFoam = 137u, Beaches = 141u, Sand = 143u,
                        BareEarth = 145u, BeachCoves = 1145u, BareEarthTone = 147u, FlowerDrifts = 149u,
                        FlowerSpecks = 1151u, FlowerKinds = 153u, Outcrops = 155u, OutcropShape = 157u,
                        OutcropWeather = 159u, CloudShade = 401u, RockBeds = 5501u, ShoreMud = 1163u,
                        MudTone = 1167u, ForestFloor = 1171u, WetEdge = 1173u, RockSwell = 7121u,
                        RockSeeps = 7131u, RockTufts = 7135u, StreamStones = 7145u,
                        StreamRiffles = 7151u, StreamSky = 7155u, RockBreakup = 7301u, TalusBreakup = 7311u;
// The meadows' rushes in the hollows, their tussocks, the scraps of worn
// earth and the slabs of the outcrops (meadow.cpp, terrain_texture.cpp).
constexpr std::uint32_t MeadowRushes = 7751u, Tussocks = 7761u, WornEarth = 7771u, OutcropSlabs = 7781u;
// The bedded rock's blocks between its joints, how far each has slipped,
// and the turf on its ledges (bedded_rock.cpp).
constexpr std::uint32_t RockBlocks = 7840u, RockThrow = 7846u, RockLedgeTurf = 7850u;
// The sky's farther range of mountains (sky.cpp).
constexpr std::uint32_t FarRangeMottle = 7321u, FarRangeSpurs = 7323u;
// Stones and the shore's lie: the shore's clusters and each stone in them,
// the heap at the falls' foot, their facets, their texture, and the
// stretches of flat and steep shore, the stones standing in the shallows
// (shore.cpp); the turf's tufts at the mud's edge and the swell of the wet
// band along the shore (terrain_texture.cpp); the long grass hanging from
// the steep banks, its stretches along the shore (shore.cpp, vegetation.cpp)
// and the line of its shade (terrain_texture.cpp).
constexpr std::uint32_t ShoreStones = 7171u, StoneFacets = 7272u, Scree = 7373u, ShoreStone = 7201u,
                        ShoreFlats = 7203u, ShoreTufts = 7205u, StoneGrain = 161u, StoneLichen = 163u,
                        ShallowStones = 7551u, WetSwell = 7553u, BankTufts = 7820u, BankOverhangs = 7821u,
                        BankShade = 7822u;
// The shore's silt and the damp grass above its wet band
// (terrain_texture.cpp).
constexpr std::uint32_t ShoreSilt = 7900u, DampGrass = 7903u;
// Plants: their placing (vegetation.cpp) and their looks (plant_atlas.cpp).
constexpr std::uint32_t Plants = 4242u, Groves = 171u, Clumps = 173u, WoodsRagged = 175u, Stands = 177u,
                        ReedBeds = 181u, ReedClumps = 183u, Firs = 600u, Pines = 650u, Broadleaves = 700u,
                        Reeds = 800u, Bushes = 900u, BankGrass = 950u,
                        ReedGaps = 7207u, ReedStands = 7209u, ReedHearts = 7555u, Glades = 7501u,
                        WoodsEdge = 7503u, LipWoods = 7505u, Thickets = 7507u, Sedge = 7650u,
                        SideGroves = 7601u, SideScrub = 7603u, BushLooks = 7605u;
// The falls, their foam and mist (falls.cpp); the white water above the lip
// uses the streaks' and flecks' seeds 20 on.
constexpr std::uint32_t FallsChutes = 1001u, FallsStreaks = 1003u, FallsFine = 1005u, FallsDrops = 1007u,
                        FallsEdge = 1009u, FoamStreaks = 1011u, FoamFlecks = 1013u, FoamRim = 1015u,
                        MistBillows = 1017u, FoamLace = 7862u;

constexpr std::uint32_t All[] = {Hills,
                                 Bumps,
                                 FarRange,
                                 RockShelf,
                                 RockFaceEdge,
                                 Woods,
                                 StreamWidth,
                                 RockFaceWidth,
                                 MeadowDrifts,
                                 MeadowEarth,
                                 MeadowMottle,
                                 GrassBlades,
                                 CrownX,
                                 CrownY,
                                 CrownSize,
                                 CanopyHue,
                                 CanopyLeaves,
                                 RockEdge,
                                 Strata,
                                 Cracks,
                                 RockLichen,
                                 BeachReach,
                                 Pebbles,
                                 FinePebbles,
                                 StreamFoam,
                                 Beaches,
                                 Sand,
                                 BareEarth,
                                 BeachCoves,
                                 BareEarthTone,
                                 FlowerDrifts,
                                 FlowerSpecks,
                                 FlowerKinds,
                                 Outcrops,
                                 OutcropShape,
                                 OutcropWeather,
                                 CloudShade,
                                 ShoreMud,
                                 MudTone,
                                 ForestFloor,
                                 WetEdge,
                                 ShoreStones,
                                 StoneFacets,
                                 Scree,
                                 ShoreStone,
                                 ShoreFlats,
                                 ShoreTufts,
                                 StoneGrain,
                                 StoneLichen,
                                 ShallowStones,
                                 WetSwell,
                                 Plants,
                                 Groves,
                                 Clumps,
                                 WoodsRagged,
                                 Stands,
                                 ReedBeds,
                                 ReedClumps,
                                 ReedGaps,
                                 ReedStands,
                                 ReedHearts,
                                 Glades,
                                 WoodsEdge,
                                 LipWoods,
                                 Thickets,
                                 SideGroves,
                                 SideScrub,
                                 BushLooks,
                                 Firs,
                                 Pines,
                                 Broadleaves,
                                 Reeds,
                                 Bushes,
                                 BankGrass,
                                 BankTufts,
                                 BankOverhangs,
                                 BankShade,
                                 ShoreSilt,
                                 ShoreSilt + 7u,
                                 DampGrass,
                                 Sedge,
                                 ScarpLine,
                                 ScarpHeight,
                                 ScarpRun,
                                 RockBeds,
                                 ScarpGully,
                                 ScarpLedge,
                                 ScarpTalus,
                                 ScarpBlocks,
                                 ScarpJoints,
                                 ScarpRough,
                                 StreamBanks,
                                 RockSwell,
                                 RockSeeps,
                                 RockTufts,
                                 StreamStones,
                                 StreamRiffles,
                                 StreamSky,
                                 RockBreakup,
                                 TalusBreakup,
                                 MeadowRushes,
                                 Tussocks,
                                 WornEarth,
                                 OutcropSlabs,
                                 RockBlocks,
                                 RockThrow,
                                 RockLedgeTurf,
                                 FarRangeMottle,
                                 FarRangeSpurs,
                                 FallsChutes,
                                 FallsStreaks,
                                 FallsFine,
                                 FallsDrops,
                                 FallsEdge,
                                 FoamStreaks,
                                 FoamFlecks,
                                 FoamRim,
                                 MistBillows,
                                 FoamLace,
                                 FallsStreaks + 20u,
                                 FoamFlecks + 20u};
constexpr bool AllDifferent() {
    for (std::uint32_t a : All) {
        int same = 0;
        for (std::uint32_t b : All)
            same += a == b;
        if (same != 1) return false;
    }
    return true;
}
static_assert(AllDifferent(), "two patterns share a seed");

} // namespace seeds
} // namespace scenegen
