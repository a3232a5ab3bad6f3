#!/usr/bin/env node
// web-serve.mjs -- serve a folder (the web build) on 127.0.0.1 only, for a browser on this machine.
import { createReadStream, existsSync, promises as fsp } from "node:fs";
import { createServer } from "node:http";
import path from "node:path";
import { fileURLToPath } from "node:url";
import { createGzip } from "node:zlib";

const types = {
  ".html": "text/html; charset=utf-8",
  ".js": "text/javascript; charset=utf-8",
  ".mjs": "text/javascript; charset=utf-8",
  ".wasm": "application/wasm",
  ".data": "application/octet-stream",
  ".png": "image/png",
  ".gz": "application/gzip",
  ".webmanifest": "application/manifest+json",
};

// Files that shrink when gzipped on the way, as most web hosts send them (the world is gzipped already).
const compressible = new Set([".html", ".js", ".mjs", ".wasm", ".webmanifest"]);

// Serve folder on 127.0.0.1:port (0 picks a free port). Resolves to the listening server. With
// compress false, every file goes as it is, as from a host that compresses nothing.
export function serve(folder, port, { compress = true } = {}) {
  const root = path.resolve(folder);
  const server = createServer(async (request, response) => {
    let file = null;
    try {
      const url = new URL(request.url, "http://localhost");
      file = path.join(root, decodeURIComponent(url.pathname).replace(/\/$/, "/zelvo.html"));
    } catch {
      // A path that is no path: answered as not found below.
    }
    // Nothing outside the folder, whatever the request says.
    const inside = file !== null && (file === root || file.startsWith(root + path.sep));
    const stat = inside ? await fsp.stat(file).catch(() => null) : null;
    if (request.method !== "GET" && request.method !== "HEAD") {
      response.writeHead(405).end();
    } else if (!stat || !stat.isFile()) {
      response.writeHead(404, { "Content-Type": "text/plain" }).end("not found\n");
    } else {
      // The browser may keep a copy but asks each time whether it is still the file here, so a
      // rebuilt page shows at the next reload and an unchanged file is not sent again.
      const gzip = compress && compressible.has(path.extname(file)) &&
                   /\bgzip\b/.test(request.headers["accept-encoding"] || "");
      const tag = `"${stat.size.toString(16)}-${Math.floor(stat.mtimeMs).toString(16)}${gzip ? "-gzip" : ""}"`;
      const headers = { "Cache-Control": "no-cache", "ETag": tag, "Vary": "Accept-Encoding" };
      if (request.headers["if-none-match"] === tag) {
        response.writeHead(304, headers).end();
        return;
      }
      response.writeHead(200, {
        ...headers,
        "Content-Type": types[path.extname(file)] || "application/octet-stream",
        ...(gzip ? { "Content-Encoding": "gzip" } : { "Content-Length": stat.size }),
      });
      if (request.method === "HEAD") response.end();
      else if (gzip) createReadStream(file).pipe(createGzip()).pipe(response);
      else createReadStream(file).pipe(response);
    }
  });
  return new Promise((resolve, reject) => {
    server.once("error", reject);
    server.listen(port, "127.0.0.1", () => resolve(server));
  });
}

const usage = `usage: web-serve.mjs [--port N] FOLDER
Serves FOLDER (scripts/web's build/web) on 127.0.0.1, port N (default 8000; 0 picks a free one),
and prints the page's address. Only this machine can reach it. The page and its code go gzipped to
a browser that takes it, as most hosts send them. Ctrl+C stops it.`;

function main(args) {
  let port = 8000;
  let folder = null;
  for (let i = 0; i < args.length; ++i) {
    if (args[i] === "--help" || args[i] === "-h") {
      console.log(usage);
      return;
    } else if (args[i] === "--port" && i + 1 < args.length && /^\d+$/.test(args[i + 1]) && +args[i + 1] < 65536) {
      port = Number(args[++i]);
    } else if (!args[i].startsWith("-") && folder === null) {
      folder = args[i];
    } else {
      console.error(`web-serve: cannot use '${args[i]}'\n${usage}`);
      process.exit(2);
    }
  }
  if (folder === null) {
    console.error(`web-serve: no folder given\n${usage}`);
    process.exit(2);
  }
  if (!existsSync(path.join(folder, "zelvo.html"))) {
    console.error(`web-serve: ${folder} holds no zelvo.html (scripts/web builds it into build/web)`);
    process.exit(1);
  }
  serve(folder, port).then(
    server => console.log(`Zelvo is served at http://127.0.0.1:${server.address().port}/zelvo.html (Ctrl+C stops)`),
    error => {
      console.error(`web-serve: cannot listen on 127.0.0.1:${port}: ${error.message}`);
      process.exit(1);
    });
}

if (process.argv[1] && path.resolve(process.argv[1]) === fileURLToPath(import.meta.url)) main(process.argv.slice(2));
