// Compiles .ksy files to Python with the npm package kaitai-struct-compiler
// (which has only a programmatic interface).
// Usage: node tools/kaitai/compile_ksy.js OUT_DIR FILE.ksy...
"use strict";
const fs = require("fs");
const path = require("path");
const yaml = require("js-yaml");
const KaitaiStructCompiler = require("kaitai-struct-compiler");

async function main() {
  const [outDir, ...inputs] = process.argv.slice(2);
  if (!outDir || inputs.length === 0) throw new Error("usage: compile_ksy.js OUT_DIR FILE.ksy...");
  const compiler = new KaitaiStructCompiler();
  fs.mkdirSync(outDir, { recursive: true });
  for (const input of inputs) {
    const ksy = yaml.load(fs.readFileSync(input, "utf8"));
    const files = await compiler.compile("python", ksy, null, false);
    for (const [name, text] of Object.entries(files)) {
      fs.writeFileSync(path.join(outDir, name), text);
      console.log(`${input} -> ${path.join(outDir, name)} (compiler ${compiler.version})`);
    }
  }
}

main().catch((error) => {
  console.error(`compile_ksy: ${error && error.stack ? error.stack : JSON.stringify(error)}`);
  process.exit(1);
});
