// Compares two databases as mdb-reader sees them: every catalog row (type, name, flags,
// property and module blobs), every row of every table, system tables included. A table's
// object id is its definition page, so ids may differ between the files: they are matched
// through the catalog (parent, name, type) and the columns that name objects are compared
// through that match. With OBJECTS_JSON (an independent listing of what the original holds)
// the copy's object counts and system-table row counts are checked against it too.
// Usage: node compare-with-mdb-reader.mjs ORIGINAL COPY [OBJECTS_JSON]
// Prints one line per difference and "same: N tables, M rows"; exits 1 on a difference.
import { readFileSync } from "node:fs";
import MDBReader from "mdb-reader";

const [originalFile, copyFile, objectsFile] = process.argv.slice(2);
const original = new MDBReader(readFileSync(originalFile));
const copy = new MDBReader(readFileSync(copyFile));

// The columns of system tables that hold catalog object ids.
const idColumns = {
  MSysObjects: ["Id", "ParentId"],
  MSysACEs: ["ObjectId"],
  MSysQueries: ["ObjectId"],
  MSysNavPaneObjectIDs: ["Id"],
  MSysNavPaneGroupToObjects: ["ObjectID"],
};

function plain(v) {
  if (v === null || v === undefined) return null;
  if (v instanceof Date) return v.toISOString();
  if (v instanceof Uint8Array) return Buffer.from(v).toString("hex");
  if (typeof v === "bigint") return v.toString();
  return v;
}

function tables(reader) {
  const out = new Map();
  const names = reader.getTableNames({ normalTables: true, systemTables: true, linkedTables: true });
  for (const name of names) {
    try {
      const table = reader.getTable(name);
      const columns = table.getColumnNames();
      const rows = table.getData().map((row) => Object.fromEntries(columns.map((c) => [c, plain(row[c])])));
      out.set(name, { columns, rows });
    } catch (e) {
      out.set(name, { unreadable: String(e.message) });
    }
  }
  return out;
}

const before = tables(original);
const after = tables(copy);
const problems = [];

// Original id -> copy id, by the object's parent, name and type (a table's parent is a
// container, whose id does not change).
const key = (row) => `${row.ParentId}\u0000${row.Name}\u0000${row.Type}`;
const copyIds = new Map(after.get("MSysObjects").rows.map((row) => [key(row), row.Id]));
const idMap = new Map();
for (const row of before.get("MSysObjects").rows) {
  if (!copyIds.has(key(row))) problems.push(`catalog row ${row.Type}:${row.Name} is missing`);
  else idMap.set(row.Id, copyIds.get(key(row)));
}

let rowCount = 0;
for (const [name, table] of before) {
  const other = after.get(name);
  if (!other) {
    problems.push(`table ${name} is missing`);
    continue;
  }
  if (table.unreadable || other.unreadable) {
    if (table.unreadable !== other.unreadable)
      problems.push(`table ${name}: ${table.unreadable ?? "readable"} / ${other.unreadable ?? "readable"}`);
    continue;
  }
  const translate = idColumns[name] ?? [];
  if (table.rows.length !== other.rows.length)
    problems.push(`table ${name}: ${table.rows.length} rows, the copy ${other.rows.length}`);
  table.rows.forEach((row, i) => {
    const expected = { ...row };
    for (const c of translate) if (idMap.has(expected[c])) expected[c] = idMap.get(expected[c]);
    const actual = other.rows[i] ?? {};
    for (const c of table.columns) {
      if (JSON.stringify(expected[c]) !== JSON.stringify(actual[c]))
        problems.push(`table ${name}, row ${i}, ${c}: ${JSON.stringify(expected[c])?.slice(0, 80)} / ` +
          `${JSON.stringify(actual[c])?.slice(0, 80)}`);
    }
  });
  rowCount += table.rows.length;
}
for (const name of after.keys()) if (!before.has(name)) problems.push(`the copy has an extra table ${name}`);

if (objectsFile) {
  const objects = JSON.parse(readFileSync(objectsFile, "utf8"));
  const byType = {};
  for (const row of after.get("MSysObjects").rows) byType[row.Type] = (byType[row.Type] ?? 0) + 1;
  for (const [type, count] of Object.entries(objects.objectsByType))
    if (byType[type] !== count) problems.push(`objects of type ${type}: ${count} listed, the copy has ${byType[type]}`);
  for (const [entry, count] of Object.entries(objects)) {
    if (!entry.startsWith("rows:")) continue;
    const table = after.get(entry.slice(5));
    const have = table ? (table.unreadable ? `unreadable: ${table.unreadable}` : table.rows.length) : "none";
    if (have !== count) problems.push(`${entry}: ${count} listed, the copy has ${have}`);
  }
}

for (const p of problems.slice(0, 50)) console.log(p);
console.log(problems.length ? `different: ${problems.length} differences` : `same: ${before.size} tables, ${rowCount} rows`);
process.exit(problems.length ? 1 : 0);
