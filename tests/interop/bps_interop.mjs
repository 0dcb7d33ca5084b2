// The independent side of the BPS interoperability test: the npm package
// `bps` (see package.json), and the random image pairs both sides patch.
//   node bps_interop.mjs apply PATCH SOURCE OUT   apply with the package
//   node bps_interop.mjs create SOURCE TARGET OUT create with the package
//   node bps_interop.mjs pairs DIR COUNT SIZE SEED
//     writes DIR/NN.src and DIR/NN.tgt, COUNT pairs of about SIZE bytes
// OUT is written only when the package reports success; a failure exits 1.
import { readFileSync, writeFileSync } from 'node:fs';
import * as bps from 'bps';

// mulberry32: a small seeded generator, so a failing pair can be rebuilt.
function generator(seed) {
  let state = seed >>> 0;
  return (limit) => {
    state = (state + 0x6d2b79f5) >>> 0;
    let t = state;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return (((t ^ (t >>> 14)) >>> 0) % limit);
  };
}

// A target made of what an import does to an image: stretches kept in
// place, stretches moved from anywhere, new bytes, runs of one byte and
// repeats of earlier output.
function makePair(random, size) {
  const source = new Uint8Array(random(size + 1));
  const alphabet = 1 + random(256);  // small alphabets give many short matches
  for (let i = 0; i < source.length; ++i) source[i] = random(alphabet);
  const target = [];
  const wanted = random(2 * size + 1);
  while (target.length < wanted) {
    const length = 1 + random(random(2) ? 16 : 600);
    const kind = random(5);
    for (let k = 0; k < length; ++k) {
      const at = target.length;
      if (kind === 0 && at < source.length) target.push(source[at]);
      else if (kind === 1 && source.length > 0) target.push(source[(at * 7 + length) % source.length]);
      else if (kind === 2) target.push(k === 0 ? random(256) : target[at - 1]);
      else if (kind === 3 && at > 0) target.push(target[random(at)]);
      else target.push(random(256));
    }
  }
  return [source, Uint8Array.from(target)];
}

// The package reads through DataViews of the whole underlying buffer, so
// each input gets a buffer of its own (readFileSync may share a pool).
const read = (path) => new Uint8Array(readFileSync(path));

const [mode, ...args] = process.argv.slice(2);
try {
  if (mode === 'apply') {
    const { instructions } = bps.parse(read(args[0]));
    writeFileSync(args[2], bps.apply(instructions, read(args[1])));
  } else if (mode === 'create') {
    const instructions = bps.build(read(args[0]), read(args[1]));
    writeFileSync(args[2], bps.serialize(instructions).buffer);
  } else if (mode === 'pairs') {
    const random = generator(Number(args[3]));
    for (let n = 0; n < Number(args[1]); ++n) {
      const [source, target] = makePair(random, Number(args[2]));
      const name = `${args[0]}/${String(n).padStart(2, '0')}`;
      writeFileSync(`${name}.src`, source);
      writeFileSync(`${name}.tgt`, target);
    }
  } else {
    console.error('usage: bps_interop.mjs apply|create|pairs ...');
    process.exit(2);
  }
} catch (error) {
  console.error(`bps_interop.mjs ${mode}: ${error.message}`);
  process.exit(1);
}
