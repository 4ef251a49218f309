// General-purpose packers from the npm registry on the rectangles of real atlas XML files, for the
// benchmark's packing table. They run here only, never in the program. Every peer packs the icons with
// the same 1-pixel gap as Ravelin (each icon a pixel wider and taller, the canvas a pixel smaller).
//   node peer_packers.mjs PEERS_DIR XML...     (PEERS_DIR: where scripts/bench installed the packers)
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { pathToFileURL } from "node:url";

const [peersDirectory, ...xmlFiles] = process.argv.slice(2);
const require = createRequire(`${peersDirectory}/package.json`);
const load = async (name) => import(pathToFileURL(require.resolve(name)).href);
const potpack = (await load("potpack")).default;
const { MaxRectsPacker } = await import(pathToFileURL(require.resolve("maxrects-packer").replace(/\.js$/, ".mjs")).href);
const FreeTexMaxRectsBin = require("free-tex-packer-core/packers/MaxRectsBin.js");

function rectangles(path) {
  const xml = readFileSync(path, "utf8");
  const sizes = [];
  for (const entry of xml.matchAll(/<width>\s*(\d+)\s*<\/width>\s*<height>\s*(\d+)\s*<\/height>/g))
    sizes.push({ w: Number(entry[1]), h: Number(entry[2]) });
  return sizes.filter((s) => s.w > 0 && s.h > 0);
}

function timed(run, repeats) {
  let best = Infinity, result;
  for (let i = 0; i < repeats; ++i) {
    const start = process.hrtime.bigint();
    result = run();
    best = Math.min(best, Number(process.hrtime.bigint() - start) / 1e6);
  }
  return { ...result, ms: best };
}

// free-tex-packer-core's MaxRects bin, one rule, inside a canvas search like Ravelin's: for widths around
// the square side, the lowest height (multiple of 4) that holds every icon, tallest first.
function freeTexSearch(sizes, method) {
  const order = [...sizes].sort((a, b) => b.h - a.h || b.w - a.w);
  const area = order.reduce((sum, s) => sum + (s.w + 1) * (s.h + 1), 0);
  const fits = (width, height) => {
    const bin = new FreeTexMaxRectsBin(width + 1, height + 1);
    return order.every((s) => bin.insert(s.w + 1, s.h + 1, method).height !== 0);
  };
  let best = null;
  for (let factor = 0.8; factor <= 1.61; factor += 0.2) {
    const width = Math.ceil((Math.sqrt(area) * factor) / 4) * 4;
    let low = Math.ceil(area / (width + 1) / 4) * 4, high = 16384;
    if (best) high = Math.min(high, Math.floor((best.w * best.h - 1) / width / 4) * 4);
    let found = 0;
    while (low <= high) {
      const middle = Math.max(low, Math.floor((low + high) / 8) * 4);
      if (fits(width, middle)) {
        found = middle;
        high = middle - 4;
      } else {
        low = middle + 4;
      }
    }
    if (found && (!best || width * found < best.w * best.h)) best = { w: width, h: found };
  }
  return best;
}

const peers = [
  ["potpack", 3, (sizes) => {
    const boxes = sizes.map((s) => ({ w: s.w + 1, h: s.h + 1 }));
    const packed = potpack(boxes);
    return { w: packed.w - 1, h: packed.h - 1 };
  }],
  ["maxrects-packer (smart, any size)", 3, (sizes) => {
    const packer = new MaxRectsPacker(16384, 16384, 1, { smart: true, pot: false, square: false, allowRotation: false });
    packer.addArray(sizes.map((s) => ({ width: s.w, height: s.h })));
    if (packer.bins.length !== 1) return null;
    return { w: packer.bins[0].width, h: packer.bins[0].height };
  }],
  // Its two best rules on these icons; the others pack looser and take minutes in this search.
  ...["BestLongSideFit", "BottomLeftRule"].map((method) => [
    `free-tex-packer-core MaxRects ${method}, canvas search`, 1, (sizes) => freeTexSearch(sizes, method)]),
];

for (const path of xmlFiles) {
  const sizes = rectangles(path);
  const iconArea = sizes.reduce((sum, s) => sum + s.w * s.h, 0);
  for (const [name, repeats, pack] of peers) {
    const result = timed(() => pack(sizes) ?? { w: 0, h: 0 }, repeats);
    const occupancy = result.w ? (100 * iconArea) / (result.w * result.h) : 0;
    console.log(`| ${name.padEnd(58)} | ${String(sizes.length).padStart(5)} | ${`${result.w} x ${result.h}`.padStart(13)} | ${occupancy.toFixed(2).padStart(6)} % | ${result.ms.toFixed(0).padStart(6)} |`);
  }
}
