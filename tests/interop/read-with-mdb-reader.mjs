// Prints a database as mdb-reader sees it, in the canonical dump form, so that the interop
// tests can compare it with Tablory's own reading. Usage: node read-with-mdb-reader.mjs FILE [PASSWORD]
import { readFileSync } from "node:fs";
import MDBReader from "mdb-reader";

const [file, password] = process.argv.slice(2);
const reader = new MDBReader(readFileSync(file), password ? { password } : undefined);

const typeNames = {
  boolean: "boolean", byte: "byte", integer: "integer", long: "long", currency: "currency",
  float: "float", double: "double", datetime: "datetime", binary: "binary", text: "text",
  ole: "ole", memo: "memo", repid: "repid", numeric: "numeric",
};

function pad(n, width = 2) { return String(n).padStart(width, "0"); }

function value(v, type) {
  if (v === null || v === undefined) return null;
  if (type === "datetime") {
    const d = v;
    return `${pad(d.getUTCFullYear(), 4)}-${pad(d.getUTCMonth() + 1)}-${pad(d.getUTCDate())}T` +
      `${pad(d.getUTCHours())}:${pad(d.getUTCMinutes())}:${pad(d.getUTCSeconds())}.${pad(d.getUTCMilliseconds(), 3)}`;
  }
  if (type === "binary" || type === "ole") return Buffer.from(v).toString("hex");
  if (type === "repid") return String(v).replace(/[{}]/g, "").toLowerCase();
  return v;
}

const out = [];
out.push(JSON.stringify({ password: reader.getPassword() ?? "" }));
for (const name of reader.getTableNames().sort()) {
  const table = reader.getTable(name);
  const columns = table.getColumns();
  out.push(JSON.stringify({ table: name, columns: columns.map((c) => [c.name, typeNames[c.type] ?? c.type]) }));
  for (const row of table.getData()) out.push(JSON.stringify(columns.map((c) => value(row[c.name], c.type))));
}
process.stdout.write(out.join("\n") + "\n");
