#include "tools/scenegen/tree_company.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "tools/scenegen/plant_atlas.h"
#include "tools/scenegen/toolkit.h"
#include "tools/scenegen/world.h"

namespace scenegen {

namespace {

// Trees grow in woods and groves: one standing off in the open, with
// fewer than TreeCompany others near it, or with none near it at least half
// as tall, reads as a prop at no clear scale, so it is left out (bushes,
// reeds and grass may stand alone). On the open crests, where they stand
// against the sky, a loose row of trees a stride or ten apart reads as
// singles sprinkled along the skyline: there a tree keeps its place only in
// a close clump.
constexpr float TreeCompanyRadius = 10.0f, ClumpCompanyRadius = 7.0f;
constexpr int TreeCompany = 2, ClumpCompany = 2;

// Does a tree standing at `base` stand out of the woods on a crest, above
// the land round it, where camera 1 sees it against the sky or the far land?
bool OnOpenCrest(TVec3 base) {
    const float ground = base.z + 0.4f;
    if (WoodsDensity(base.x, base.y, ground) >= 0.3f) return false;
    float around = 0.0f;
    for (int k = 0; k < 4; ++k)
        around += TerrainHeight(base.x + 12.0f * float(k % 2 * 2 - 1) * float(k < 2),
                                base.y + 12.0f * float(k % 2 * 2 - 1) * float(k >= 2));
    return ground > 0.25f * around + 0.5f;
}

bool IsTree(const TPlant& p) {
    return PlantKinds[p.Kind].Habitat == THabitat::Woods;
}

} // namespace

bool DropLoneTrees(std::vector<TPlant>& plants) {
    // The trees in buckets of the company's radius, so that each looks only
    // at its own bucket and the eight round it.
    constexpr float Cell = TreeCompanyRadius;
    std::vector<std::pair<std::int64_t, std::size_t>> buckets;
    auto key = [](float x, float y) {
        return std::int64_t(std::floor(x / Cell)) * 100000 + std::int64_t(std::floor(y / Cell));
    };
    for (std::size_t i = 0; i < plants.size(); ++i)
        if (IsTree(plants[i])) buckets.push_back({key(plants[i].Base.x, plants[i].Base.y), i});
    std::sort(buckets.begin(), buckets.end());
    std::vector<bool> lone(plants.size(), false);
    for (const auto& b : buckets) {
        const TPlant& p = plants[b.second];
        int company = 0, close = 0;
        bool peer = false;
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) {
                const std::int64_t k = key(p.Base.x + float(dx) * Cell, p.Base.y + float(dy) * Cell);
                for (auto it =
                         std::lower_bound(buckets.begin(), buckets.end(), std::make_pair(k, std::size_t(0)));
                     it != buckets.end() && it->first == k; ++it) {
                    const TPlant& other = plants[it->second];
                    if (it->second == b.second || Distance2D(other.Base, p.Base) >= TreeCompanyRadius)
                        continue;
                    ++company;
                    close += Distance2D(other.Base, p.Base) < ClumpCompanyRadius;
                    peer = peer || other.Height >= 0.5f * p.Height;
                }
            }
        lone[b.second] = company < TreeCompany || !peer || (close < ClumpCompany && OnOpenCrest(p.Base));
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < plants.size(); ++i)
        if (!lone[i]) plants[kept++] = plants[i];
    const bool dropped = kept < plants.size();
    plants.resize(kept);
    return dropped;
}

void DropLoneBushes(std::vector<TPlant>& plants) {
    auto onLand = [](const TPlant& p) { return IsTree(p) || p.Kind == TPlant::Bush; };
    std::vector<bool> lone(plants.size(), false);
    for (std::size_t i = 0; i < plants.size(); ++i) {
        if (plants[i].Kind != TPlant::Bush) continue;
        bool touches = false;
        for (std::size_t j = 0; j < plants.size() && !touches; ++j)
            touches = j != i && onLand(plants[j]) &&
                      Distance2D(plants[i].Base, plants[j].Base) < 0.4f * (plants[i].Width + plants[j].Width);
        lone[i] = !touches;
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < plants.size(); ++i)
        if (!lone[i]) plants[kept++] = plants[i];
    plants.resize(kept);
}

} // namespace scenegen
