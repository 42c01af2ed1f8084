#include "tools/scenegen/tree_company.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "tools/scenegen/plant_atlas.h"
#include "tools/scenegen/toolkit.h"
#include "tools/scenegen/world.h"

namespace scenegen {

namespace {

float Distance2D(TVec3 a, TVec3 b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y));
}

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

// Beyond this distance from camera 1 the trees deep in the woods stand
// many deep and read as one mass; out in the open each reads on its own.
constexpr float CrownsApartWithin = 175.0f;

bool ReadsOnItsOwn(const TPlant& p) {
    return p.Distance < CrownsApartWithin || WoodsDensity(p.Base.x, p.Base.y, p.Base.z + 0.4f) < 0.5f;
}

void KeepCrownsApart(std::vector<TPlant>& plants, const std::vector<TScreenBox>& boxes) {
    // Near to far (the plants come far to near), so that a tree left out
    // hides none behind it.
    std::vector<bool> hidden(plants.size(), false);
    for (std::size_t f = plants.size(); f-- > 0;) {
        if (!IsTree(plants[f]) || !ReadsOnItsOwn(plants[f])) continue;
        const TVec3 foot = CameraView(plants[f].Base);
        const float x = foot.x, y = foot.y;
        for (std::size_t n = 0; n < plants.size(); ++n) {
            const TScreenBox &a = boxes[n], &b = boxes[f];
            if (!IsTree(plants[n]) || plants[n].Distance >= plants[f].Distance || hidden[n]) continue;
            // Its foot behind the nearer one's crown (above the foot of
            // the trunk and away from the crown's ragged rim), its top
            // rising well over it: one just behind another of its own
            // height reads as the grove's next tree.
            if (std::fabs(x - 0.5f * (a.X0 + a.X1)) < 0.4f * (a.X1 - a.X0) &&
                y > a.Y0 + 0.25f * (a.Y1 - a.Y0) && y < a.Y1 && b.Y1 > a.Y1 + 0.15f * (a.Y1 - a.Y0)) {
                hidden[f] = true;
                break;
            }
        }
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < plants.size(); ++i)
        if (!hidden[i]) plants[kept++] = plants[i];
    plants.resize(kept);
}

} // namespace scenegen
