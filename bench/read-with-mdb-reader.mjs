// Reads every row of one table with mdb-reader (a JavaScript Jet reader) and prints how many
// rows it got. Used by bench_bulk to time an independent reader on the file our engine wrote.
//   node read-with-mdb-reader.mjs FILE TABLE NODE_MODULES_DIR
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { join } from "node:path";
import { pathToFileURL } from "node:url";

const [file, table, modules] = process.argv.slice(2);
if (!file || !table || !modules) {
    console.error("usage: read-with-mdb-reader.mjs FILE TABLE NODE_MODULES_DIR");
    process.exit(2);
}
// The package lives in the interop tests' node_modules, not next to this script.
const entry = createRequire(join(modules, "resolve-from-here.js")).resolve("mdb-reader");
const { default: MDBReader } = await import(pathToFileURL(entry).href);

const rows = new MDBReader(readFileSync(file)).getTable(table).getData();
let values = 0;
for (const row of rows) for (const key in row) if (row[key] !== undefined) ++values;
console.log(`${rows.length} rows ${values} values`);
